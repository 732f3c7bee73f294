#include "gamedata/NameFinder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>

namespace vondrel {
namespace {

using Node = std::int32_t;
constexpr Node kRoot = 0;
constexpr Node kNone = -1;

// The names as a trie with failure links (Aho-Corasick). Nodes are numbered breadth-first
// with siblings in byte order, so the children of a node are a run of consecutive numbers
// that a binary search over their bytes finds.
class NameMachine {
  public:
    // `names`: distinct, non-empty and sorted.
    explicit NameMachine(const std::vector<const std::string*>& names) {
        rootChild_.fill(kNone);
        struct Pending {
            std::size_t lo, hi, depth;
        };
        std::deque<Pending> queue{{0, names.size(), 0}};
        byte_.push_back(0);
        addNode();
        for (Node node = 0; !queue.empty(); ++node) {
            auto [lo, hi, depth] = queue.front();
            queue.pop_front();
            // The name that ends here sorts first in its range.
            if (names[lo]->size() == depth) {
                term_[static_cast<std::size_t>(node)] = static_cast<std::int32_t>(lo);
                ++lo;
            }
            first_[static_cast<std::size_t>(node)] = static_cast<Node>(byte_.size());
            while (lo < hi) {
                const auto c = static_cast<std::uint8_t>((*names[lo])[depth]);
                std::size_t end = lo + 1;
                while (end < hi && static_cast<std::uint8_t>((*names[end])[depth]) == c)
                    ++end;
                const auto child = static_cast<Node>(byte_.size());
                byte_.push_back(c);
                addNode();
                if (node == kRoot)
                    rootChild_[c] = child;
                queue.push_back({lo, end, depth + 1});
                lo = end;
            }
            last_[static_cast<std::size_t>(node)] = static_cast<Node>(byte_.size());
        }
        // Failure links, breadth-first: a node's parent is done before the node.
        for (Node node = 0; node < size(); ++node) {
            for (Node child = first(node); child < last(node); ++child) {
                fail_[static_cast<std::size_t>(child)] =
                    node == kRoot ? kRoot
                                  : step(fail(node), byte_[static_cast<std::size_t>(child)]);
            }
        }
        foundJump_ = fail_;
        wholeJump_ = fail_;
    }

    Node size() const { return static_cast<Node>(byte_.size()); }
    Node fail(Node n) const { return fail_[static_cast<std::size_t>(n)]; }
    std::int32_t term(Node n) const { return term_[static_cast<std::size_t>(n)]; }
    Node rootChild(std::uint8_t c) const { return rootChild_[c]; }

    // The state after `c` in state `n`.
    Node step(Node n, std::uint8_t c) const {
        for (;;) {
            if (n == kRoot)
                return std::max(rootChild_[c], kRoot);
            const auto begin = byte_.begin() + first(n);
            const auto end = byte_.begin() + last(n);
            const auto it = std::lower_bound(begin, end, c);
            if (it != end && *it == c)
                return static_cast<Node>(it - byte_.begin());
            n = fail(n);
        }
    }

    // The longest name among the suffixes of state `n` (itself included) that is not yet
    // done in `done`, or the root when none is left. Done names are skipped for good:
    // `jump` is shortened on the way, so each is passed over only a few times in all.
    Node nextOpen(Node n, std::vector<Node>& jump, const std::vector<bool>& done) const {
        Node open = n;
        while (open != kRoot && (term(open) < 0 || done[static_cast<std::size_t>(term(open))]))
            open = jump[static_cast<std::size_t>(open)];
        while (n != open) {
            const Node next = jump[static_cast<std::size_t>(n)];
            jump[static_cast<std::size_t>(n)] = open;
            n = next;
        }
        return open;
    }

    std::vector<Node> foundJump_;
    std::vector<Node> wholeJump_;

  private:
    void addNode() {
        fail_.push_back(kRoot);
        term_.push_back(-1);
        first_.push_back(0);
        last_.push_back(0);
    }
    Node first(Node n) const { return first_[static_cast<std::size_t>(n)]; }
    Node last(Node n) const { return last_[static_cast<std::size_t>(n)]; }

    std::vector<std::uint8_t> byte_;
    std::vector<Node> fail_;
    std::vector<std::int32_t> term_;
    std::vector<Node> first_;
    std::vector<Node> last_;
    std::array<Node, 256> rootChild_{};
};

}  // namespace

std::vector<std::size_t> findRecordNames(ByteView data, const std::vector<std::string>& names) {
    std::vector<std::size_t> result(names.size(), kNoMatch);
    // Distinct names take part once; duplicates share the answer.
    std::vector<const std::string*> distinct;
    for (const std::string& name : names) {
        if (!name.empty())
            distinct.push_back(&name);
    }
    if (distinct.empty())
        return result;
    std::sort(distinct.begin(), distinct.end(),
              [](const std::string* a, const std::string* b) { return *a < *b; });
    distinct.erase(std::unique(distinct.begin(), distinct.end(),
                               [](const std::string* a, const std::string* b) { return *a == *b; }),
                   distinct.end());

    NameMachine machine(distinct);
    // The first occurrence of each name, and the first one followed by a NUL. The two loops
    // that place them below stay written out: one shared helper measured 13% slower.
    std::vector<std::size_t> found(distinct.size(), kNoMatch);
    std::vector<std::size_t> whole(distinct.size(), kNoMatch);
    std::vector<bool> foundDone(distinct.size(), false);
    std::vector<bool> wholeDone(distinct.size(), false);
    std::size_t unfound = distinct.size();
    std::size_t unwhole = distinct.size();

    const std::size_t n = data.size();
    const std::uint8_t* text = data.data();
    Node state = kRoot;
    for (std::size_t pos = 0; pos < n && unwhole > 0; ++pos) {
        if (state == kRoot) {
            // Most of the file starts no name at all.
            while (pos < n && machine.rootChild(text[pos]) == kNone)
                ++pos;
            if (pos == n)
                break;
        }
        state = machine.step(state, text[pos]);
        if (unfound > 0) {
            for (Node at = machine.nextOpen(state, machine.foundJump_, foundDone); at != kRoot;
                 at = machine.nextOpen(machine.fail(at), machine.foundJump_, foundDone)) {
                const auto k = static_cast<std::size_t>(machine.term(at));
                found[k] = pos + 1 - distinct[k]->size();
                foundDone[k] = true;
                --unfound;
            }
        }
        if (pos + 1 < n && text[pos + 1] == 0) {
            for (Node at = machine.nextOpen(state, machine.wholeJump_, wholeDone); at != kRoot;
                 at = machine.nextOpen(machine.fail(at), machine.wholeJump_, wholeDone)) {
                const auto k = static_cast<std::size_t>(machine.term(at));
                whole[k] = pos + 1 - distinct[k]->size();
                wholeDone[k] = true;
                --unwhole;
            }
        }
    }

    for (std::size_t k = 0; k < names.size(); ++k) {
        if (names[k].empty())
            continue;
        const auto d = static_cast<std::size_t>(
            std::lower_bound(distinct.begin(), distinct.end(), &names[k],
                             [](const std::string* a, const std::string* b) { return *a < *b; }) -
            distinct.begin());
        result[k] = whole[d] != kNoMatch ? whole[d] : found[d];
    }
    return result;
}

}  // namespace vondrel
