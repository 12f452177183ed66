#include "line_changes.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <unordered_map>

namespace qe::cli {
namespace {

using Index = std::ptrdiff_t;

// Lines of the common head and tail kept in the comparison, so that a changed
// run next to them can still slide (as many as the diff shows around a change).
constexpr Index kHorizon = 3;

// One text's lines between the common head and tail, as numbers: equal lines get
// equal numbers (from 1). changed has a false entry before and after the lines.
struct Side {
    std::vector<int> classes;
    std::vector<char> changedStore;
    std::vector<int> kept;       // the classes of the lines not discarded
    std::vector<Index> keptLine; // and the line of each
    Index size() const { return static_cast<Index>(classes.size()); }
    char* changed() { return changedStore.data() + 1; }
};

// Number of lines at the head of both that are equal.
Index commonHead(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
    const auto end =
        std::mismatch(a.begin(), a.begin() + Index(std::min(a.size(), b.size())), b.begin());
    return end.first - a.begin();
}

Index commonTail(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                 Index limit) {
    Index n = 0;
    while (n < limit && a[a.size() - 1 - std::size_t(n)] == b[b.size() - 1 - std::size_t(n)])
        ++n;
    return n;
}

void numberLines(const std::vector<std::string_view>& lines, Index begin, Index end,
                 std::unordered_map<std::string_view, int>& classOf, Side& side) {
    for (Index i = begin; i < end; ++i) {
        const auto found = classOf.try_emplace(lines[std::size_t(i)], int(classOf.size()) + 1);
        side.classes.push_back(found.first->second);
    }
    side.changedStore.assign(side.classes.size() + 2, 0);
}

// Marks 1 each line whose class the other text lacks, 2 (provisional) each line
// whose class the other text holds many times.
std::vector<char> discardable(const Side& side, const std::vector<Index>& otherCount) {
    Index many = 5;
    for (Index tem = side.size() / 64; (tem >>= 2) > 0;)
        many *= 2;
    std::vector<char> marks(side.classes.size(), 0);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Index n = otherCount[std::size_t(side.classes[i])];
        marks[i] = n == 0 ? 1 : n > many ? 2 : 0;
    }
    return marks;
}

// Within a run of discardable lines from d[0] to d[length-1] (neither provisional),
// keeps the provisional ones that stand near either end of the run or in long
// stretches of them.
void settleRun(char* d, Index length, Index provisional) {
    if (provisional * 4 > length) {
        std::replace(d, d + length, char(2), char(0));
        return;
    }
    Index minimum = 1;
    for (Index tem = length >> 2; (tem >>= 2) > 0;)
        minimum <<= 1;
    ++minimum;
    for (Index j = 0, consec = 0; j < length; ++j) {
        if (d[j] != 2) {
            consec = 0;
        } else if (minimum == ++consec) {
            j -= consec; // back to the start of the stretch, to keep all of it
        } else if (minimum < consec) {
            d[j] = 0;
        }
    }
    const auto fromEnd = [&](auto at) {
        for (Index j = 0, consec = 0; j < length; ++j) {
            char& m = at(j);
            if (j >= 8 && m == 1) break;
            if (m == 2) {
                consec = 0, m = 0;
            } else if (m == 0) {
                consec = 0;
            } else if (++consec == 3) {
                break;
            }
        }
    };
    fromEnd([&](Index j) -> char& { return d[j]; });
    fromEnd([&](Index j) -> char& { return d[length - 1 - j]; });
}

void settleProvisional(std::vector<char>& marks) {
    char* d = marks.data();
    const Index end = Index(marks.size());
    for (Index i = 0; i < end; ++i) {
        if (d[i] == 2) {
            d[i] = 0;
            continue;
        }
        if (d[i] == 0) continue;
        Index j = i, provisional = 0;
        for (; j < end && d[j] != 0; ++j)
            provisional += d[j] == 2;
        for (; d[j - 1] == 2; --j)
            d[j - 1] = 0, --provisional;
        settleRun(d + i, j - i, provisional);
        i = j - 1;
    }
}

// Lines the other text lacks are changed for sure; leaving them out makes the
// search cheaper and steers it as GNU diff is steered.
void discardLines(Side& a, Side& b, std::size_t classes) {
    std::vector<Index> countA(classes + 1, 0), countB(classes + 1, 0);
    for (int c : a.classes)
        ++countA[std::size_t(c)];
    for (int c : b.classes)
        ++countB[std::size_t(c)];
    std::vector<char> marksA = discardable(a, countB), marksB = discardable(b, countA);
    settleProvisional(marksA);
    settleProvisional(marksB);
    const auto keep = [](Side& s, const std::vector<char>& marks) {
        for (Index i = 0; i < s.size(); ++i) {
            if (marks[std::size_t(i)] == 0) {
                s.kept.push_back(s.classes[std::size_t(i)]);
                s.keptLine.push_back(i);
            } else {
                s.changed()[i] = 1;
            }
        }
    };
    keep(a, marksA);
    keep(b, marksB);
}

// Myers' search on the lines left, between the middle snakes it finds from both ends.
class Search {
public:
    Search(Side& a, Side& b) : a_(a), b_(b), x_(a.kept.data()), y_(b.kept.data()) {
        const Index n = Index(a.kept.size()), m = Index(b.kept.size());
        diagonals_.assign(2 * std::size_t(n + m + 3), 0);
        forward_ = diagonals_.data() + m + 1;
        backward_ = forward_ + n + m + 3;
        Index expensive = 1;
        for (Index d = n + m + 3; d != 0; d >>= 2)
            expensive <<= 1;
        tooExpensive_ = std::max<Index>(4096, expensive);
    }

    void run() { compare(0, Index(a_.kept.size()), 0, Index(b_.kept.size()), false); }

private:
    struct Split {
        Index x, y;
        bool loMinimal, hiMinimal;
    };

    bool same(Index x, Index y) const { return x_[x] == y_[y]; }

    void compare(Index xoff, Index xlim, Index yoff, Index ylim, bool minimal) {
        for (; xoff < xlim && yoff < ylim && same(xoff, yoff); ++xoff, ++yoff) {
        }
        for (; xoff < xlim && yoff < ylim && same(xlim - 1, ylim - 1); --xlim, --ylim) {
        }
        if (xoff == xlim) {
            for (; yoff < ylim; ++yoff)
                b_.changed()[b_.keptLine[std::size_t(yoff)]] = 1;
        } else if (yoff == ylim) {
            for (; xoff < xlim; ++xoff)
                a_.changed()[a_.keptLine[std::size_t(xoff)]] = 1;
        } else {
            const Split s = split(xoff, xlim, yoff, ylim, minimal);
            compare(xoff, s.x, yoff, s.y, s.loMinimal);
            compare(s.x, xlim, s.y, ylim, s.hiMinimal);
        }
    }

    // One more edit step on each diagonal: the range grows by one at each end
    // that has room, and shrinks by one where it has none, keeping its parity.
    static void widen(Index& lo, Index& hi, Index dmin, Index dmax, Index* reach, Index none) {
        if (lo > dmin) {
            reach[--lo - 1] = none;
        } else {
            ++lo;
        }
        if (hi < dmax) {
            reach[++hi + 1] = none;
        } else {
            --hi;
        }
    }

    Split split(Index xoff, Index xlim, Index yoff, Index ylim, bool minimal);
    Split cheapSplit(Index xoff, Index xlim, Index yoff, Index ylim) const;

    Side& a_;
    Side& b_;
    const int* x_;
    const int* y_;
    std::vector<Index> diagonals_;
    Index* forward_;  // furthest x reached on each diagonal from the start
    Index* backward_; // and from the end
    Index fmin_ = 0, fmax_ = 0, bmin_ = 0, bmax_ = 0;
    Index tooExpensive_;
};

Search::Split Search::split(Index xoff, Index xlim, Index yoff, Index ylim, bool minimal) {
    Index* const fd = forward_;
    Index* const bd = backward_;
    const Index dmin = xoff - ylim, dmax = xlim - yoff;
    const Index fmid = xoff - yoff, bmid = xlim - ylim;
    const bool odd = (fmid - bmid) & 1;
    fmin_ = fmax_ = fmid;
    bmin_ = bmax_ = bmid;
    fd[fmid] = xoff;
    bd[bmid] = xlim;
    for (Index cost = 1;; ++cost) {
        widen(fmin_, fmax_, dmin, dmax, fd, -1);
        for (Index d = fmax_; d >= fmin_; d -= 2) {
            const Index lo = fd[d - 1], hi = fd[d + 1];
            Index x = lo < hi ? hi : lo + 1, y = x - d;
            for (; x < xlim && y < ylim && same(x, y); ++x, ++y) {
            }
            fd[d] = x;
            if (odd && bmin_ <= d && d <= bmax_ && bd[d] <= x) return {x, y, true, true};
        }
        constexpr Index kFar = std::numeric_limits<Index>::max();
        widen(bmin_, bmax_, dmin, dmax, bd, kFar);
        for (Index d = bmax_; d >= bmin_; d -= 2) {
            const Index lo = bd[d - 1], hi = bd[d + 1];
            Index x = lo < hi ? lo : hi - 1, y = x - d;
            for (; xoff < x && yoff < y && same(x - 1, y - 1); --x, --y) {
            }
            bd[d] = x;
            if (!odd && fmin_ <= d && d <= fmax_ && x <= fd[d]) return {x, y, true, true};
        }
        if (!minimal && cost >= tooExpensive_) return cheapSplit(xoff, xlim, yoff, ylim);
    }
}

// When the search grows too long: the furthest point either end has reached.
Search::Split Search::cheapSplit(Index xoff, Index xlim, Index yoff, Index ylim) const {
    Index fxy = -1, fx = 0;
    for (Index d = fmax_; d >= fmin_; d -= 2) {
        Index x = std::min(forward_[d], xlim), y = x - d;
        if (ylim < y) x = ylim + d, y = ylim;
        if (fxy < x + y) fxy = x + y, fx = x;
    }
    Index bxy = std::numeric_limits<Index>::max(), bx = 0;
    for (Index d = bmax_; d >= bmin_; d -= 2) {
        Index x = std::max(xoff, backward_[d]), y = x - d;
        if (y < yoff) x = yoff + d, y = yoff;
        if (x + y < bxy) bxy = x + y, bx = x;
    }
    if ((xlim + ylim) - bxy < fxy - (xoff + yoff)) return {fx, fxy - fx, true, false};
    return {bx, bxy - bx, false, true};
}

// Slides each run of changed lines up as far as equal lines allow, merging with
// runs before it, then down likewise; a run that merged nothing ends level with a
// change of the other text where it can.
void slideRuns(Side& side, Side& otherSide) {
    char* changed = side.changed();
    const char* other = otherSide.changed();
    const int* cls = side.classes.data();
    const Index end = side.size();
    for (Index i = 0, j = 0;;) {
        for (; i < end && !changed[i]; ++i)
            while (other[j++]) {
            }
        if (i == end) break;
        Index start = i, runLength = 0, corresponding = 0;
        while (changed[++i]) {
        }
        while (other[j])
            ++j;
        do {
            runLength = i - start;
            while (start && cls[start - 1] == cls[i - 1]) {
                changed[--start] = 1;
                changed[--i] = 0;
                while (changed[start - 1])
                    --start;
                while (other[--j]) {
                }
            }
            corresponding = other[j - 1] ? i : end;
            while (i != end && cls[start] == cls[i]) {
                changed[start++] = 0;
                changed[i++] = 1;
                while (changed[i])
                    ++i;
                while (other[++j])
                    corresponding = i;
            }
        } while (runLength != i - start);
        while (corresponding < i) {
            changed[--start] = 1;
            changed[--i] = 0;
            while (other[--j]) {
            }
        }
    }
}

std::vector<bool> flags(const Side& side, std::size_t lines, Index head) {
    std::vector<bool> out(lines, false);
    for (Index i = 0; i < side.size(); ++i)
        out[std::size_t(head + i)] = side.changedStore[std::size_t(i + 1)] != 0;
    return out;
}

} // namespace

LineChanges changedLines(const std::vector<std::string_view>& before,
                         const std::vector<std::string_view>& after) {
    const Index head = std::max<Index>(commonHead(before, after) - kHorizon, 0);
    const Index rest = Index(std::min(before.size(), after.size())) - head;
    const Index tail = std::max<Index>(commonTail(before, after, rest) - kHorizon, 0);
    std::unordered_map<std::string_view, int> classOf;
    Side a, b;
    numberLines(before, head, Index(before.size()) - tail, classOf, a);
    numberLines(after, head, Index(after.size()) - tail, classOf, b);
    discardLines(a, b, classOf.size());
    Search(a, b).run();
    slideRuns(a, b);
    slideRuns(b, a);
    return {flags(a, before.size(), head), flags(b, after.size(), head)};
}

} // namespace qe::cli
