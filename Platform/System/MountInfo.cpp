#include "Platform/System/MountInfo.hpp"

#include <libmount/libmount.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <unordered_set>

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
  entry.parentId = static_cast<std::uint64_t>(std::max(mnt_fs_get_parent_id(fs), 0));
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

constexpr std::size_t none = static_cast<std::size_t>(-1);

// Whether each entry of `entries` is on top of the mounts at its mount point and sits on a mount that is
// seen (or on none the table lists): each parent chain is followed up once and every entry's answer kept,
// so the whole table takes linear time however deep its chains.
std::vector<bool> onTopAndReached(const std::vector<MountInfoEntry>& entries) {
  const std::size_t count = entries.size();
  std::unordered_map<std::uint64_t, std::size_t> byId;
  byId.reserve(count);
  for (std::size_t i = 0; i < count; ++i) byId.emplace(entries[i].mountId, i);
  std::vector<std::size_t> parent(count, none);
  std::vector<bool> covered(count, false);  // another mount sits on it at its own mount point
  for (std::size_t i = 0; i < count; ++i) {
    const auto found = byId.find(entries[i].parentId);
    if (found == byId.end() || found->second == i) continue;
    parent[i] = found->second;
    if (entries[found->second].mountPoint == entries[i].mountPoint) covered[found->second] = true;
  }
  // Reached: the path to the mount point leads to the mount (it may still be covered there).
  enum class Reach : std::uint8_t { unknown, pending, yes, no };
  std::vector<Reach> reach(count, Reach::unknown);
  std::vector<std::size_t> chain;
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = i; j != none && reach[j] == Reach::unknown; j = parent[j]) {
      reach[j] = Reach::pending;
      chain.push_back(j);
    }
    // From the highest mount of the chain down, each decided by the mount it sits on.
    for (; !chain.empty(); chain.pop_back()) {
      const std::size_t k = chain.back(), p = parent[k];
      const bool reached =
          p == none || (reach[p] == Reach::yes &&  // pending: a loop, which no kernel table has
                        (entries[p].mountPoint == entries[k].mountPoint || !covered[p]));
      reach[k] = reached ? Reach::yes : Reach::no;
    }
  }
  std::vector<bool> seen(count);
  for (std::size_t i = 0; i < count; ++i) seen[i] = reach[i] == Reach::yes && !covered[i];
  return seen;
}

}  // namespace

bool MountInfoEntry::showsFileSystemRoot() const {
  return root == "/" || (!subvolume.empty() && root == subvolume);
}

const MountInfoEntry* MountInfo::visibleAt(std::string_view mountPoint) const {
  return MountIndex(*this).visibleAt(mountPoint);
}

bool MountInfo::isFirstMountOfDevice(const MountInfoEntry& entry) const {
  return MountIndex(*this).isFirstMountOfDevice(entry);
}

MountIndex::MountIndex(const MountInfo& table) : table_(table), firstOfDevice_(table.entries.size()) {
  const std::vector<MountInfoEntry>& entries = table.entries;
  const std::vector<bool> seen = onTopAndReached(entries);
  visible_.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (seen[i]) visible_.insert_or_assign(entries[i].mountPoint, &entries[i]);
  }
  std::unordered_set<std::uint64_t> devicesSeen;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const MountInfoEntry& entry = entries[i];
    const std::uint64_t device = std::uint64_t{entry.major} << 32 | entry.minor;
    firstOfDevice_[i] = !devicesSeen.contains(device);
    if (visibleAt(entry.mountPoint) == &entry) devicesSeen.insert(device);
  }
}

const MountInfoEntry* MountIndex::visibleAt(std::string_view mountPoint) const {
  const auto found = visible_.find(mountPoint);
  return found == visible_.end() ? nullptr : found->second;
}

bool MountIndex::isFirstMountOfDevice(const MountInfoEntry& entry) const {
  const std::vector<MountInfoEntry>& entries = table_.entries;
  const std::less<const MountInfoEntry*> before;
  if (before(&entry, entries.data()) || !before(&entry, entries.data() + entries.size())) return false;
  return firstOfDevice_[static_cast<std::size_t>(&entry - entries.data())];
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
