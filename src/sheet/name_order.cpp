#include "sheet/name_order.h"

#include "runtime/letter_order.h"
#include "sheet/key_sort.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kestrune {
namespace {

// A name's weights: the primary ones decide, the accents break their ties.
// A run of digits weighs as '0', its length without leading zeros and its
// digits, so a longer number comes later; its leading zeros count among the
// accents.
struct NameKey {
    // Only the first primaryLength and accentLength bytes are ever read.
    std::array<std::uint8_t, 3 * 256> primary;
    std::array<std::uint8_t, 256> accents;
    std::size_t primaryLength = 0;
    std::size_t accentLength = 0;

    explicit NameKey(std::string_view name) {
        const auto& weights = LetterWeights();
        std::size_t i = 0;
        while (i < name.size()) {
            const auto byte = static_cast<std::uint8_t>(name[i]);
            if (byte < '0' || byte > '9') {
                primary[primaryLength++] = weights[byte].primary;
                accents[accentLength++] = weights[byte].accent;
                ++i;
                continue;
            }
            std::size_t zeros = 0;
            while (i < name.size() && name[i] == '0') {
                ++zeros;
                ++i;
            }
            std::size_t end = i;
            while (end < name.size() && name[end] >= '0' && name[end] <= '9') {
                ++end;
            }
            primary[primaryLength++] = '0';
            primary[primaryLength++] = static_cast<std::uint8_t>(end - i);
            std::memcpy(primary.data() + primaryLength, name.data() + i, end - i);
            primaryLength += end - i;
            accents[accentLength++] = static_cast<std::uint8_t>(zeros);
            i = end;
        }
    }

    // The first eight primary weights as one number, in their order.
    std::uint64_t prefix() const {
        std::uint64_t key = 0;
        for (std::size_t k = 0; k < 8; ++k) {
            key = key << 8 | (k < primaryLength ? primary[k] : 0u);
        }
        return key;
    }
};

int compareBytes(const std::uint8_t* a, std::size_t na, const std::uint8_t* b, std::size_t nb) {
    const int c = std::memcmp(a, b, std::min(na, nb));
    if (c != 0) {
        return c;
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

int compareKeys(const NameKey& a, const NameKey& b) {
    const int c =
        compareBytes(a.primary.data(), a.primaryLength, b.primary.data(), b.primaryLength);
    return c != 0
               ? c
               : compareBytes(a.accents.data(), a.accentLength, b.accents.data(), b.accentLength);
}

} // namespace

int CompareNames(std::string_view a, std::string_view b) {
    return compareKeys(NameKey(a), NameKey(b));
}

std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending) {
    const auto count = static_cast<std::size_t>(std::max(n, 0));
    // Most names differ within their first eight weights: the linear sort
    // of the rows by those leaves only runs that share them to compare whole.
    const std::uint64_t flip = descending ? ~std::uint64_t{0} : 0;
    KeyArray keys(count);
    for (std::size_t k = 0; k < count; ++k) {
        keys[k] = NameKey(names.get(static_cast<std::int32_t>(k + 1))).prefix() ^ flip;
    }
    std::vector<std::int32_t> order(count);
    KeyArray words;
    OrderRowsByKey(keys, 0, count, order.data(), words);

    // The rows of one run, with their whole keys laid end to end.
    struct Keyed {
        std::int32_t row;
        std::uint32_t offset;
        std::uint16_t primaryLength;
        std::uint16_t accentLength;
    };
    std::vector<Keyed> run;
    std::vector<std::uint8_t> bytes;
    const auto before = [&](const Keyed& a, const Keyed& b) {
        const std::uint8_t* pa = bytes.data() + a.offset;
        const std::uint8_t* pb = bytes.data() + b.offset;
        int c = compareBytes(pa, a.primaryLength, pb, b.primaryLength);
        if (c == 0) {
            c = compareBytes(pa + a.primaryLength, a.accentLength, pb + b.primaryLength,
                             b.accentLength);
        }
        return descending ? c > 0 : c < 0;
    };
    std::size_t begin = 0;
    while (begin < count) {
        const std::uint64_t key = keys[static_cast<std::size_t>(order[begin] - 1)];
        std::size_t end = begin + 1;
        bool allEqual = true;
        const std::string_view first = names.get(order[begin]);
        while (end < count && keys[static_cast<std::size_t>(order[end] - 1)] == key) {
            allEqual = allEqual && names.get(order[end]) == first;
            ++end;
        }
        if (!allEqual) {
            run.clear();
            bytes.clear();
            for (std::size_t k = begin; k < end; ++k) {
                const NameKey whole(names.get(order[k]));
                run.push_back({order[k], static_cast<std::uint32_t>(bytes.size()),
                               static_cast<std::uint16_t>(whole.primaryLength),
                               static_cast<std::uint16_t>(whole.accentLength)});
                bytes.insert(bytes.end(), whole.primary.begin(),
                             whole.primary.begin() +
                                 static_cast<std::ptrdiff_t>(whole.primaryLength));
                bytes.insert(bytes.end(), whole.accents.begin(),
                             whole.accents.begin() +
                                 static_cast<std::ptrdiff_t>(whole.accentLength));
            }
            std::stable_sort(run.begin(), run.end(), before);
            for (std::size_t k = begin; k < end; ++k) {
                order[k] = run[k - begin].row;
            }
        }
        begin = end;
    }
    return order;
}

} // namespace kestrune
