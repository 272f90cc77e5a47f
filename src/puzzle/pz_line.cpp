// pz_line.cpp -- the exact line solver: what every placement of a line's runs agrees on
#include "puzzle/pz_line.h"

// With n cells and runs r[0..k): front[j][i] says cells [0, i) can hold the first j runs
// (as the known cells allow), back[j][i] that cells [i, n) can hold runs j.. to the
// last. A cell can stay empty when some j splits the line around it; it can be filled
// when some run has a placement over it whose two sides both fit.
//
// Only the positions the clue alone allows are computed: run j starts between lo[j]
// (every run before it packed to the left) and hi[j] (every run from it packed to the
// right), so row j of each table spans about the line's slack, not its length.
static int solve_table(const int *runs, int k, pz_cell *cells, int n, pz_line_scratch &s) {
    if (!pz_assert(n >= 0 && k >= 0))
        return -1;
    const int stride = n + 1;
    const size_t table = (static_cast<size_t>(k) + 1) * stride;
    if (s.front.size() < table) {
        s.front.resize(table);
        s.back.resize(table);
    }
    const size_t ints = 3 * static_cast<size_t>(stride) + 4 * (static_cast<size_t>(k) + 1);
    if (s.empties.size() < ints)
        s.empties.resize(ints);
    // Grown on its own: after a line of many runs, empties can be long enough for a
    // longer line of few runs while fill_marks is not.
    if (s.fill_marks.size() < static_cast<size_t>(stride))
        s.fill_marks.resize(stride);
    if (s.result.size() < static_cast<size_t>(n))
        s.result.resize(n);

    int *closed = s.empties.data(); // closed[i]: cells in [0, i) that cannot be filled
    int *lo = closed + stride, *hi = lo + k + 1;
    int *a = hi + k + 1, *b = a + k + 1; // front[j] spans [a[j], b[j]], back[j] spans [a[j], hi[j]]
    for (int j = 0, at = 0; j < k; ++j) {
        if (runs[j] < 1)
            return -1;
        lo[j] = at;
        at += runs[j] + 1;
    }
    for (int j = k - 1, at = n; j >= 0; --j) {
        hi[j] = at - runs[j];
        at = hi[j] - 1;
    }
    if (k > 0 && hi[0] < 0)
        return -1; // the runs and their gaps are longer than the line
    hi[k] = n;
    a[0] = 0;
    for (int j = 1; j <= k; ++j)
        a[j] = lo[j - 1] + runs[j - 1];
    for (int j = 0; j <= k; ++j)
        b[j] = j < k ? hi[j] - 1 : n;

    closed[0] = 0;
    for (int i = 0; i < n; ++i)
        closed[i + 1] = closed[i] + ((cells[i] & pz_filled) ? 0 : 1);

    uint8_t *front = s.front.data();
    for (int i = 0; i <= b[0]; ++i)
        front[i] = i == 0 || (front[i - 1] && (cells[i - 1] & pz_empty));
    for (int j = 1; j <= k; ++j) {
        const int r = runs[j - 1], top = hi[j - 1];
        uint8_t *row = front + j * stride;
        const uint8_t *prev = row - stride;
        for (int i = a[j]; i <= b[j]; ++i) {
            uint8_t v = i > a[j] && row[i - 1] && (cells[i - 1] & pz_empty);
            const int start = i - r;
            if (!v && start <= top && closed[i] == closed[start])
                v = start == 0 || ((cells[start - 1] & pz_empty) && prev[start - 1]);
            row[i] = v;
        }
    }
    if (!front[k * stride + n])
        return -1;

    uint8_t *back = s.back.data();
    {
        uint8_t *row = back + k * stride;
        for (int i = n; i >= a[k]; --i)
            row[i] = i == n || (row[i + 1] && (cells[i] & pz_empty));
    }
    for (int j = k - 1; j >= 0; --j) {
        const int r = runs[j], bottom = lo[j];
        uint8_t *row = back + j * stride;
        const uint8_t *next = row + stride;
        for (int i = hi[j]; i >= a[j]; --i) {
            uint8_t v = i < hi[j] && row[i + 1] && (cells[i] & pz_empty);
            const int end = i + r;
            if (!v && i >= bottom && closed[end] == closed[i])
                v = end == n ? j == k - 1 : ((cells[end] & pz_empty) && next[end + 1]);
            row[i] = v;
        }
    }

    // Placements of each run: left side fits, run fits, right side fits.
    int *marks = s.fill_marks.data();
    for (int i = 0; i <= n; ++i)
        marks[i] = 0;
    for (int j = 0; j < k; ++j) {
        const int r = runs[j];
        const uint8_t *left = front + j * stride;
        const uint8_t *right = back + (j + 1) * stride;
        for (int start = lo[j]; start <= hi[j]; ++start) {
            const int end = start + r;
            if (closed[end] != closed[start])
                continue;
            if (start > 0 && !((cells[start - 1] & pz_empty) && left[start - 1]))
                continue;
            if (end < n ? !((cells[end] & pz_empty) && right[end + 1]) : j != k - 1)
                continue;
            ++marks[start];
            --marks[end];
        }
    }

    pz_cell *result = s.result.data();
    int settled = 0, covered = 0, first = 0;
    for (int i = 0; i < n; ++i) {
        covered += marks[i];
        pz_cell v = covered > 0 ? pz_filled : 0;
        if (cells[i] & pz_empty) {
            while (first < k && b[first] < i)
                ++first;
            for (int j = first; j <= k && a[j] <= i; ++j)
                if (i <= b[j] && front[j * stride + i] && back[j * stride + i + 1]) {
                    v |= pz_empty;
                    break;
                }
        }
        if (v == 0)
            return -1; // cannot happen once the line has a placement; kept for safety
        result[i] = v;
        settled += (cells[i] == pz_unknown && v != pz_unknown) ? 1 : 0;
    }
    for (int i = 0; i < n; ++i)
        cells[i] = result[i];
    return settled;
}

namespace {

// x and every position reached from it by steps p -> p + 1 onto bits of open: the
// carry of an addition runs through each stretch of open from its lowest seed.
template <class word> word reach_up(const word &x, const word &open) {
    const word seeds = (x << 1) & open;
    return x | seeds | (open & ~(open + seeds));
}

// Positions s where every bit of bits from s to s + r - 1 is set.
template <class word> word all_of(word bits, int r) {
    int len = 1;
    while (2 * len <= r) {
        bits &= bits >> len;
        len *= 2;
    }
    return len < r ? bits & (bits >> (r - len)) : bits;
}

// Positions covered by a run of r starting at a position of starts.
template <class word> word smear(word starts, int r) {
    int len = 1;
    while (2 * len <= r) {
        starts |= starts << len;
        len *= 2;
    }
    return len < r ? starts | (starts << (r - len)) : starts;
}

// The longest line a word holds with room for the placements' ends, and its most runs.
template <class word> constexpr int longest_line = 8 * static_cast<int>(sizeof(word)) - 2;
template <class word> constexpr int most_runs = (longest_line<word> + 1) / 2;

} // namespace

// The same tables for lines of up to longest_line cells, one word per run: bit p of
// ahead[j] says cells [0, p) can hold the first j runs, bit p of behind[j] that [p, n)
// can hold runs j.. to the last. Stretches of cells that may stay empty are crossed by
// reach_up, behind's downward stretches by reaching up in the mirrored word. With
// run_starts, each run's placements go there too: bit s of run_starts[j] says run j may
// begin at cell s.
template <class word>
static bool line_bits(const int *runs, int k, int n, word *can_empty_bits, word *can_fill_bits, word *run_starts) {
    constexpr int runs_held = most_runs<word>;
    if (!pz_assert(n >= 0 && n <= longest_line<word> && k >= 0))
        return false;
    if (k > runs_held)
        return false; // more runs than the line has room for
    const word can_empty = *can_empty_bits, can_fill = *can_fill_bits;
    word ahead[runs_held + 1], behind[runs_held + 1], starts[runs_held], fits[runs_held];
    const word open_up = can_empty << 1, open_down = pz_reverse(can_empty);
    ahead[0] = reach_up(word(1), open_up);
    for (int j = 0; j < k; ++j) {
        if (runs[j] < 1 || runs[j] > n)
            return false;
        const word from = j == 0 ? ahead[0] : (ahead[j] & can_empty) << 1;
        fits[j] = all_of(can_fill, runs[j]);
        starts[j] = from & fits[j];
        ahead[j + 1] = reach_up(starts[j] << runs[j], open_up);
    }
    if (!pz_bit(ahead[k], n))
        return false;
    word top{};
    pz_bit_set(top, n);
    behind[k] = pz_reverse(reach_up(pz_reverse(top), open_down));
    word filled{};
    for (int j = k - 1; j >= 0; --j) {
        const word ends = j == k - 1 ? behind[k] : (behind[j + 1] >> 1) & can_empty;
        const word from = (ends >> runs[j]) & fits[j];
        behind[j] = pz_reverse(reach_up(pz_reverse(from), open_down));
        filled |= smear(from & starts[j], runs[j]);
        if (run_starts)
            run_starts[j] = from & starts[j];
    }
    word empty{};
    for (int j = 0; j <= k; ++j)
        empty |= ahead[j] & (behind[j] >> 1);
    empty &= can_empty;
    if (!((empty | filled) == pz_low_bits<word>(n)))
        return false; // cannot happen once the line has a placement; kept for safety
    *can_empty_bits = empty;
    *can_fill_bits = filled;
    return true;
}

bool pz_solve_line_bits(const int *runs, int k, int n, pz_bits<2> *can_empty, pz_bits<2> *can_fill) {
    return line_bits(runs, k, n, can_empty, can_fill, static_cast<pz_bits<2> *>(nullptr));
}

bool pz_solve_line_bits(const int *runs, int k, int n, pz_bits<4> *can_empty, pz_bits<4> *can_fill) {
    return line_bits(runs, k, n, can_empty, can_fill, static_cast<pz_bits<4> *>(nullptr));
}

bool pz_solve_line_bits(const int *runs, int k, int n, uint64_t *can_empty_bits, uint64_t *can_fill_bits) {
    return line_bits(runs, k, n, can_empty_bits, can_fill_bits, static_cast<uint64_t *>(nullptr));
}

bool pz_line_run_starts(const int *runs, int run_count, const pz_cell *cells, int length, uint64_t *starts) {
    if (length < 0 || length > pz_max_word_line || run_count < 0 || run_count > pz_max_word_runs)
        return false;
    uint64_t can_empty = 0, can_fill = 0;
    for (int i = 0; i < length; ++i) {
        can_empty |= static_cast<uint64_t>(cells[i] & pz_empty) << i;
        can_fill |= static_cast<uint64_t>((cells[i] & pz_filled) >> 1) << i;
    }
    return line_bits(runs, run_count, length, &can_empty, &can_fill, starts);
}

static int solve_words(const int *runs, int k, pz_cell *cells, int n) {
    uint64_t can_empty = 0, can_fill = 0;
    for (int i = 0; i < n; ++i) {
        can_empty |= static_cast<uint64_t>(cells[i] & pz_empty) << i;
        can_fill |= static_cast<uint64_t>((cells[i] & pz_filled) >> 1) << i;
    }
    const uint64_t before = can_empty & can_fill;
    if (!pz_solve_line_bits(runs, k, n, &can_empty, &can_fill))
        return -1;
    for (int i = 0; i < n; ++i)
        cells[i] = static_cast<pz_cell>(((can_empty >> i) & 1) | (((can_fill >> i) & 1) << 1));
    return __builtin_popcountll(before & ~(can_empty & can_fill));
}

int pz_solve_line_table(const int *runs, int run_count, pz_cell *cells, int length, pz_line_scratch &scratch) {
    return solve_table(runs, run_count, cells, length, scratch);
}

int pz_solve_line(const int *runs, int run_count, pz_cell *cells, int length, pz_line_scratch &scratch) {
    if (length <= pz_max_word_line && run_count <= pz_max_word_runs)
        return solve_words(runs, run_count, cells, length);
    return solve_table(runs, run_count, cells, length, scratch);
}
