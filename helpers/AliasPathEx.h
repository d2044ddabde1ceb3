// Globals.gAbsPath_ex: the path that an alias record carries, found by a
// plain byte scan, for the message shown when the record cannot be resolved.
// It belongs to the module Globals and is declared here beside the location
// helpers that use it.
#pragma once

#include "framework/core/text/String.h"

namespace Globals {

// Scans s from its first byte for 00 02 00 followed by a length byte L > 0
// (tag 2 with a length below 256) and returns the L bytes after it, fewer
// when s ends sooner. A place where L is 0 is passed over and the scan goes
// on. Without such a place, s unchanged. The header is not parsed: header
// bytes that happen to read 00 02 00 L are taken as the path. Keeps s's
// encoding tag. Yields after each position.
framework::String gAbsPath_ex(const framework::String& s);

}  // namespace Globals
