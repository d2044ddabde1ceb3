// A disk mounted or unmounted while the program runs: the volume list follows
// without renumbering the volumes that stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"

namespace framework {
namespace {

std::vector<std::string> Describe(const std::vector<VolumeEntry>& volumes) {
  std::vector<std::string> out;
  for (const VolumeEntry& v : volumes) out.push_back(v.name + "=" + v.mountPoint.string());
  return out;
}

TEST(FollowMounts, KeepsSurvivorsInOrderAndAddsNewcomersAtTheEnd) {
  const std::vector<VolumeEntry> known{{"Macintosh HD", "/"}, {"A", "/media/A"}, {"B", "/media/B"}, {"C", "/mnt/C"}};
  // B went away; D came; the machine lists them in its own order.
  const std::vector<VolumeEntry> mounted{{"", "/"}, {"D", "/Volumes/D"}, {"C", "/mnt/C"}, {"A", "/media/A"}};
  EXPECT_EQ(Describe(FollowMounts(known, mounted)),
            (std::vector<std::string>{"Macintosh HD=/", "A=/media/A", "C=/mnt/C", "D=/Volumes/D"}));
}

TEST(FollowMounts, ANewcomerNamedLikeAVolumeThatStaysGetsItsOwnName) {
  const std::vector<VolumeEntry> known{{"Macintosh HD", "/"}, {"Backup", "/media/Backup"}};
  const std::vector<VolumeEntry> mounted{{"", "/"}, {"Backup", "/media/Backup"}, {"Backup", "/mnt/Backup"}};
  EXPECT_EQ(Describe(FollowMounts(known, mounted)),
            (std::vector<std::string>{"Macintosh HD=/", "Backup=/media/Backup", "Backup 1=/mnt/Backup"}));
}

TEST(FollowMounts, OnlyTheProgramFollowsTheMachinesMounts) {
  const FileSystemSetup saved = CurrentFileSystemSetup();
  FileSystemSetup fake;
  fake.volumes = {{"Fake HD", "/"}, {"Old", "/nonexistent-old"}};
  SetFileSystemSetup(fake);
  EXPECT_EQ(VolumeCount(), 2) << "a test's volume table stays as the test made it";
  SetOldMachineDisk(Volume(1));

  FollowMachineMounts(true);
  VolumeCount();
  FollowMachineMounts(false);
  const auto& followed = CurrentFileSystemSetup().volumes;
  ASSERT_FALSE(followed.empty());
  EXPECT_EQ(followed[0].name, "Fake HD") << "volume 0 keeps its name";
  for (const VolumeEntry& v : followed) EXPECT_NE(v.name, "Old") << "a volume no longer mounted goes";
  // The old machine's disk stays fixed when it goes: what is recorded on
  // it must not turn into paths on this machine's own disks.
  ASSERT_NE(OldMachineDisk(), nullptr);
  EXPECT_EQ(OldMachineDisk()->PosixPath(), "/nonexistent-old");
  SetFileSystemSetup(saved);
}

}  // namespace
}  // namespace framework
