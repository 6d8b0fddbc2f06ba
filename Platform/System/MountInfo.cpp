#include "Platform/System/MountInfo.hpp"

#include <libmount/libmount.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>

#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

std::string text(const char* value) { return value != nullptr ? value : ""; }

// The super-block options of each btrfs mount as the kernel wrote them, escapes kept, by mount id. libmount
// undoes the escapes of the whole option string, so that a value holding a comma ("subvol=/x\054y") would
// split into two options there; the options are the line's last field, as escaped paths hold no blank.
std::map<std::uint64_t, std::string_view> escapedBtrfsOptions(std::string_view text) {
  std::map<std::uint64_t, std::string_view> options;
  for (const std::string_view line : textfields::splitLines(text)) {
    const std::optional<std::uint64_t> id = textfields::parseDecimal(line.substr(0, line.find(' ')));
    if (id && line.find(" - btrfs ") != std::string_view::npos)
      options[*id] = line.substr(line.rfind(' ') + 1);
  }
  return options;
}

// The value of the option `name` in an option string as the kernel writes it, its escapes undone ("\054"
// is a comma); empty when the option is absent or has an empty value (which libmount unmangles to no
// string at all).
std::string kernelOptionValue(std::string_view options, const char* name) {
  const std::string escaped(options);
  char* value = nullptr;
  std::size_t size = 0;
  if (mnt_optstr_get_option(escaped.c_str(), name, &value, &size) != 0 || value == nullptr || size == 0)
    return {};
  std::unique_ptr<char, decltype(&std::free)> unescaped(mnt_unmangle(std::string(value, size).c_str()),
                                                        std::free);
  if (!unescaped) throw std::bad_alloc();
  return unescaped.get();
}

// Whether an option string holds `name` ("ro").
bool holdsOption(const char* options, const char* name) {
  char* value = nullptr;
  std::size_t size = 0;
  return options != nullptr && mnt_optstr_get_option(options, name, &value, &size) == 0;
}

// An entry from a mount of a libmount table, given the escaped options of the btrfs mounts.
MountInfoEntry entryOf(libmnt_fs* fs, const std::map<std::uint64_t, std::string_view>& btrfsOptions) {
  MountInfoEntry entry;
  entry.mountId = static_cast<std::uint64_t>(std::max(mnt_fs_get_id(fs), 0));
  const dev_t device = mnt_fs_get_devno(fs);
  entry.major = major(device);
  entry.minor = minor(device);
  entry.root = text(mnt_fs_get_root(fs));
  entry.mountPoint = text(mnt_fs_get_target(fs));
  entry.fileSystemType = text(mnt_fs_get_fstype(fs));
  entry.source = text(mnt_fs_get_source(fs));
  // ext4 that an error made read-only says so by "emergency_ro" there on newer kernels, and nowhere else:
  // statvfs and the "rw" beside it tell nothing.
  const char* fileSystemOptions = mnt_fs_get_fs_options(fs);
  entry.isReadOnly = holdsOption(mnt_fs_get_vfs_options(fs), "ro") || holdsOption(fileSystemOptions, "ro") ||
                     holdsOption(fileSystemOptions, "emergency_ro");
  if (entry.fileSystemType == "btrfs") {
    const auto options = btrfsOptions.find(entry.mountId);
    if (options != btrfsOptions.end()) entry.subvolume = kernelOptionValue(options->second, "subvol");
  }
  return entry;
}

// The entries of mountinfo text that libmount has read into `table`, in its order.
MountInfo fromTable(libmnt_table* table, std::string_view text) {
  const std::map<std::uint64_t, std::string_view> btrfsOptions = escapedBtrfsOptions(text);
  MountInfo info;
  libmnt_iter* iterator = mnt_new_iter(MNT_ITER_FORWARD);
  if (iterator == nullptr) throw std::bad_alloc();
  libmnt_fs* fs = nullptr;
  while (mnt_table_next_fs(table, iterator, &fs) == 0) info.entries.push_back(entryOf(fs, btrfsOptions));
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
    // A mount covered by a later one at its place (a bind of its own root over it) is not seen there.
    if (earlier.major == entry.major && earlier.minor == entry.minor &&
        visibleAt(earlier.mountPoint) == &earlier)
      return false;
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
  return fromTable(table.get(), text);
}

std::optional<MountInfo> MountInfo::read(const TextSource& source) {
  const std::optional<std::string> text = source.read("/proc/self/mountinfo");
  if (!text) return std::nullopt;
  return parse(*text);
}

}  // namespace platform
