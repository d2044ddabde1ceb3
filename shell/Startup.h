// Start-up and shut-down of the program around the event loop. The entry
// point installs the user interface and holds the baton, then:
//
//   StartProgram();      // application object, menus, wizard window, Open
//   ... event loop ...
//   ShutDownProgram();   // module data released
//
// Tests call the same two around each case, so every case starts from a
// fresh program.
#pragma once

// In order: no file types are registered; the App object is created with
// MenuBar1 as its menu bar; the one menu handler ("AppleAbout") is
// registered; the default window Window1 is referred to, which builds and
// opens it; then the application's Open event fills the product table.
void StartProgram();

// First waits, with the baton given up, until every worker has ended; then
// releases what start-up made, in order: every window, the App object, the
// MenuBar1 instance, then the module data gAppName, gAppTypeCre and
// gDocTypeCre. gBeep keeps its value, as nothing in the program sets it back.
void ShutDownProgram();
