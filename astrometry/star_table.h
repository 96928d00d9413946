#pragma once
// The catalogue stars of the last parse: parallel arrays with indices 0 to
// 4000, star k at index k (index 0 unused).

#include <QString>
#include <vector>

struct StarTable {
    static constexpr int kCapacity = 4000; // records parsed at most
    static constexpr int kInUse = 497;     // stars taking part in the solution

    std::vector<QString> starId = std::vector<QString>(kCapacity + 1);  // 14 characters, "U..."
    std::vector<double> starX = std::vector<double>(kCapacity + 1);     // RA degrees x scaleRa, whole
    std::vector<double> starY = std::vector<double>(kCapacity + 1);     // Dec degrees x scaleDec, whole
    std::vector<QString> starMag = std::vector<QString>(kCapacity + 1); // 4 characters as they stand
    int starTotal = 0; // records parsed, entries 1..starTotal valid
    int starCount = 0; // min(starTotal, 497), entries 1..starCount in use
};
