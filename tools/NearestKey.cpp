#include "NearestKey.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "SettingsKeys.h"

namespace zv::tools {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edit distance with adjacent transpositions (optimal string alignment).
std::size_t editDistance(std::string_view a, std::string_view b) {
    const std::size_t rows = a.size() + 1;
    const std::size_t columns = b.size() + 1;
    std::vector<std::size_t> d(rows * columns);
    const auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * columns + j]; };
    for (std::size_t i = 0; i < rows; ++i) at(i, 0) = i;
    for (std::size_t j = 0; j < columns; ++j) at(0, j) = j;
    for (std::size_t i = 1; i < rows; ++i) {
        for (std::size_t j = 1; j < columns; ++j) {
            const std::size_t change = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + change});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(rows - 1, columns - 1);
}

}  // namespace

std::optional<std::string> nearestSettingsKey(std::string_view key) {
    // Far longer text is no typo of a key; it is not worth the table.
    if (key.size() > 64) return std::nullopt;
    std::optional<std::string> best;
    std::size_t bestDistance = 3;
    for (const char* known : kSettingsFileKeys) {
        const std::size_t distance = editDistance(key, known);
        if (distance < bestDistance && distance * 2 < key.size()) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace zv::tools
