// pz_line.cpp -- the exact line solver: what every placement of a line's runs agrees on
#include "puzzle/pz_solve.h"

// front[j][i]: cells [0, i) can hold the first j runs, each cell as the known cells allow.
// back[j][i]: cells [i, n) can hold runs j.. to the last. A cell can stay empty when
// some j splits the line around it; it can be filled when some run has a placement
// over it whose left and right sides both fit. Each table is (runs + 1) x (n + 1).
int pz_solve_line(const int *runs, int k, pz_cell *cells, int n, pz_line_scratch &s)
{
    const size_t stride = static_cast<size_t>(n) + 1;
    const size_t table = (static_cast<size_t>(k) + 1) * stride;
    if (s.front.size() < table) {
        s.front.resize(table);
        s.back.resize(table);
    }
    if (s.empties.size() < stride) {
        s.empties.resize(stride);
        s.fill_marks.resize(stride);
        s.result.resize(stride);
    }
    int *closed = s.empties.data(); // closed[i]: cells in [0, i) that cannot be filled
    closed[0] = 0;
    for (int i = 0; i < n; ++i)
        closed[i + 1] = closed[i] + ((cells[i] & pz_filled) ? 0 : 1);

    uint8_t *front = s.front.data();
    front[0] = 1;
    for (int i = 1; i <= n; ++i)
        front[i] = front[i - 1] && (cells[i - 1] & pz_empty);
    for (int j = 1; j <= k; ++j) {
        const int r = runs[j - 1];
        uint8_t *row = front + j * stride;
        const uint8_t *prev = row - stride;
        row[0] = 0;
        for (int i = 1; i <= n; ++i) {
            uint8_t v = row[i - 1] && (cells[i - 1] & pz_empty);
            const int start = i - r;
            if (!v && start >= 0 && closed[i] == closed[start])
                v = start == 0 ? j == 1 : ((cells[start - 1] & pz_empty) && prev[start - 1]);
            row[i] = v;
        }
    }
    if (!front[k * stride + n])
        return -1;

    uint8_t *back = s.back.data();
    uint8_t *last = back + k * stride;
    last[n] = 1;
    for (int i = n - 1; i >= 0; --i)
        last[i] = last[i + 1] && (cells[i] & pz_empty);
    for (int j = k - 1; j >= 0; --j) {
        const int r = runs[j];
        uint8_t *row = back + j * stride;
        const uint8_t *next = row + stride;
        row[n] = 0;
        for (int i = n - 1; i >= 0; --i) {
            uint8_t v = row[i + 1] && (cells[i] & pz_empty);
            const int end = i + r;
            if (!v && end <= n && closed[end] == closed[i])
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
        for (int start = 0, end = r; end <= n; ++start, ++end) {
            if (closed[end] != closed[start])
                continue;
            if (start > 0 && !((cells[start - 1] & pz_empty) && left[start - 1]))
                continue;
            if (start == 0 && j != 0)
                continue;
            if (end < n ? !((cells[end] & pz_empty) && right[end + 1]) : j != k - 1)
                continue;
            ++marks[start];
            --marks[end];
        }
    }

    pz_cell *result = s.result.data();
    int settled = 0, covered = 0;
    for (int i = 0; i < n; ++i) {
        covered += marks[i];
        pz_cell v = covered > 0 ? pz_filled : 0;
        if (cells[i] & pz_empty) {
            for (int j = 0; j <= k; ++j)
                if (front[j * stride + i] && back[j * stride + i + 1]) {
                    v |= pz_empty;
                    break;
                }
        }
        if (v == 0)
            return -1; // cannot happen when the line has a placement; kept for safety
        result[i] = v;
        settled += (cells[i] == pz_unknown && v != pz_unknown) ? 1 : 0;
    }
    for (int i = 0; i < n; ++i)
        cells[i] = result[i];
    return settled;
}
