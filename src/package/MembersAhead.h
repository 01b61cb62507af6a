#pragma once
// A package's members read and deciphered ahead of their use, on threads of their own when
// they are large enough to be worth it: while one member is written the next ones are
// deciphered, two at a time on a machine with the cores for it, so building a site costs
// little more than writing its files.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "package/ContentPackage.h"
#include "package/PackageFormat.h"

namespace qen {

class MembersAhead {
public:
    // Starts on `members` of `package`, which must outlive this.
    MembersAhead(const ContentPackage& package, std::vector<PackageMember> members);
    ~MembersAhead();
    MembersAhead(const MembersAhead&) = delete;
    MembersAhead& operator=(const MembersAhead&) = delete;

    // The next member's bytes, in the order given; false when it could not be read (or
    // every member was taken). `into` may come back with another buffer's memory.
    bool Next(std::string& into);

private:
    // One reader's member ready to be taken.
    struct Slot {
        std::string bytes;
        bool read = false;
        bool full = false;
    };

    // Reader `reader` of `readers` reads every member whose place counts `reader` modulo `readers`.
    void Read(std::size_t reader, std::size_t readers);

    const ContentPackage& package_;
    const std::vector<PackageMember> members_;
    std::size_t taken_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;  // one per reader; none: Next reads on the caller's thread
    bool stopping_ = false;
    std::vector<std::thread> readers_;
};

}  // namespace qen
