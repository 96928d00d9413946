#pragma once
// The star pattern search of the plate solution.
//
// Finds every ordered choice of five catalogue stars (i, j, k, l, m) whose ten
// mutual distances equal the ten mutual distances of the five picks within a
// tolerance. Catalogue positions are in scaled units (degrees x pixels per
// degree), so they compare directly with image pixels; distances ignore
// rotation and mirroring, and magnitudes play no part.
//
// Units: picks in image pixels (x right, y down from the image's top-left
// corner); catalogue stars in scaled units; the tolerance in pixels.
//
// Arrays follow the star table's layout: index 0 is unused, pick p lies at
// index p (1..5) and catalogue star k at index k (1..starCount).

#include <array>
#include <cstddef>
#include <vector>

// One candidate: element p - 1 holds the star table index matched to pick p.
using StarPattern = std::array<int, 5>;

// Distance c (catalogue) matches distance d (picks) when it differs by less
// than the tolerance; a difference of exactly the tolerance does not match.
// Written as two strict comparisons, each side rounded to a double, so that
// the boundary falls where the sums fall and not where |c - d| would.
inline bool distancesMatch(double c, double d, double matchTolerance)
{
    return c + matchTolerance > d && c - matchTolerance < d;
}

class PatternSearch {
public:
    static constexpr int kPicks = 5;
    // Rows of the candidate table; the search stops when it is full.
    static constexpr int kMaxCandidates = 800;
    // A new first star is begun only while no more candidates than this were
    // found; a first star once begun is searched to its end.
    static constexpr int kFirstStarLimit = 300;

    struct Result {
        std::vector<StarPattern> candidates; // in search order
        bool tableFull = false;              // stopped at kMaxCandidates rows
    };

    // imgDist(a, b) for picks 1..5, from selX[1..5], selY[1..5] in pixels.
    void setPicks(const double *selX, const double *selY);
    // catDist(i, j) for stars 1..starCount, from starX/starY[1..starCount].
    void setStars(const double *starX, const double *starY, int starCount);

    double imgDist(int a, int b) const { return imgDist_[std::size_t(a)][std::size_t(b)]; }
    double catDist(int i, int j) const { return catDist_[std::size_t(i - 1) * std::size_t(starCount_) + std::size_t(j - 1)]; }
    int starCount() const { return starCount_; }

    // The search over the tables: candidates in ascending order of
    // (i, j, k, l, m). The five stars need not differ: two picks closer than
    // the tolerance may be matched by one star.
    Result search(double matchTolerance) const;

private:
    std::array<std::array<double, kPicks + 1>, kPicks + 1> imgDist_{};
    std::vector<double> catDist_;
    int starCount_ = 0;
};
