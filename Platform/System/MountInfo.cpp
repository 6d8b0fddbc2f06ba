#include "Platform/System/MountInfo.hpp"

#include <libmount/libmount.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

namespace platform {

namespace {

std::string text(const char* value) { return value != nullptr ? value : ""; }

// The value of the mount's option `name` (from any of its option strings), or empty.
std::string optionValue(libmnt_fs* fs, const char* name) {
  char* value = nullptr;
  std::size_t size = 0;
  if (mnt_fs_get_option(fs, name, &value, &size) != 0 || value == nullptr) return {};
  return std::string(value, size);
}

// An entry from a mount of a libmount table.
MountInfoEntry entryOf(libmnt_fs* fs) {
  MountInfoEntry entry;
  entry.mountId = static_cast<std::uint64_t>(std::max(mnt_fs_get_id(fs), 0));
  const dev_t device = mnt_fs_get_devno(fs);
  entry.major = major(device);
  entry.minor = minor(device);
  entry.root = text(mnt_fs_get_root(fs));
  entry.mountPoint = text(mnt_fs_get_target(fs));
  entry.fileSystemType = text(mnt_fs_get_fstype(fs));
  entry.source = text(mnt_fs_get_source(fs));
  if (entry.fileSystemType == "btrfs") entry.subvolume = optionValue(fs, "subvol");
  return entry;
}

// The entries of a table libmount has read, in its order.
MountInfo fromTable(libmnt_table* table) {
  MountInfo info;
  libmnt_iter* iterator = mnt_new_iter(MNT_ITER_FORWARD);
  if (iterator == nullptr) throw std::bad_alloc();
  libmnt_fs* fs = nullptr;
  while (mnt_table_next_fs(table, iterator, &fs) == 0) info.entries.push_back(entryOf(fs));
  mnt_free_iter(iterator);
  return info;
}

}  // namespace

bool MountInfoEntry::showsFileSystemRoot() const {
  return root == "/" || (!subvolume.empty() && root == subvolume);
}

const MountInfoEntry* MountInfo::visibleAt(std::string_view mountPoint) const {
  const auto found = std::find_if(entries.rbegin(), entries.rend(), [&](const MountInfoEntry& entry) {
    return entry.mountPoint == mountPoint;
  });
  return found == entries.rend() ? nullptr : &*found;
}

bool MountInfo::isFirstMountOfDevice(const MountInfoEntry& entry) const {
  for (const MountInfoEntry& earlier : entries) {
    if (&earlier == &entry) return true;
    if (earlier.major == entry.major && earlier.minor == entry.minor) return false;
  }
  return false;
}

MountInfo MountInfo::parse(std::string_view text) {
  if (text.empty()) return {};
  std::unique_ptr<libmnt_table, decltype(&mnt_unref_table)> table(mnt_new_table(), mnt_unref_table);
  std::unique_ptr<FILE, decltype(&std::fclose)> stream(
      ::fmemopen(const_cast<char*>(text.data()), text.size(), "r"), std::fclose);
  if (!table || !stream) throw std::bad_alloc();
  // A line that is not well formed is left out; the lines after it still count.
  mnt_table_set_parser_errcb(table.get(), [](libmnt_table*, const char*, int) { return 1; });
  mnt_table_parse_stream(table.get(), stream.get(), "mountinfo");
  return fromTable(table.get());
}

std::optional<MountInfo> MountInfo::read(const TextSource& source) {
  const std::optional<std::string> text = source.read("/proc/self/mountinfo");
  if (!text) return std::nullopt;
  return parse(*text);
}

}  // namespace platform
