#include "astrometry/pattern_search.h"

#include <cmath>

void PatternSearch::setPicks(const double *selX, const double *selY)
{
    for (int a = 1; a <= kPicks; ++a)
        for (int b = 1; b <= kPicks; ++b) {
            const double dx = selX[a] - selX[b];
            const double dy = selY[a] - selY[b];
            imgDist_[size_t(a)][size_t(b)] = std::sqrt(dx * dx + dy * dy);
        }
}

void PatternSearch::setStars(const double *starX, const double *starY, int starCount)
{
    starCount_ = starCount > 0 ? starCount : 0;
    const size_t n = size_t(starCount_);
    catDist_.assign(n * n, 0.0);
    // Every pair once, both orders: the search looks each one up many times.
    for (int i = 1; i <= starCount_; ++i)
        for (int j = 1; j <= starCount_; ++j) {
            const double dx = starX[j] - starX[i];
            const double dy = starY[j] - starY[i];
            catDist_[size_t(i - 1) * n + size_t(j - 1)] = std::sqrt(dx * dx + dy * dy);
        }
}

PatternSearch::Result PatternSearch::search(double matchTolerance) const
{
    Result result;
    const int n = starCount_;
    const double d12 = imgDist(1, 2), d13 = imgDist(1, 3), d14 = imgDist(1, 4), d15 = imgDist(1, 5);
    const double d23 = imgDist(2, 3), d42 = imgDist(4, 2), d43 = imgDist(4, 3), d45 = imgDist(4, 5);
    const double d52 = imgDist(5, 2), d53 = imgDist(5, 3);
    auto match = [matchTolerance](double c, double d) { return distancesMatch(c, d, matchTolerance); };

    // The outer levels prune the inner ones: each level is entered only when
    // every test above it passed, and the first failing test of a level ends
    // that level's tests for the current index. The tests of levels k, l and
    // m against star i depend on i alone, so they are made once per first star
    // and those levels run only over the stars that passed them, in ascending
    // order: the candidates and their order are those of the plain loops.
    std::vector<int> thirdStars, fourthStars, fifthStars;
    thirdStars.reserve(size_t(n));
    fourthStars.reserve(size_t(n));
    fifthStars.reserve(size_t(n));
    for (int i = 1; i <= n && int(result.candidates.size()) <= kFirstStarLimit; ++i) {
        thirdStars.clear();
        fourthStars.clear();
        fifthStars.clear();
        for (int s = 1; s <= n; ++s) {
            if (match(catDist(i, s), d13))
                thirdStars.push_back(s);
            if (match(catDist(i, s), d14))
                fourthStars.push_back(s);
            if (match(catDist(i, s), d15))
                fifthStars.push_back(s);
        }
        for (int j = 1; j <= n; ++j) {
            if (!match(catDist(i, j), d12))
                continue;
            for (const int k : thirdStars) {
                if (!match(catDist(j, k), d23))
                    continue;
                for (const int l : fourthStars) {
                    // The tests of l against j and k do not depend on m: made
                    // once per l, they spare the fifth level most of its work.
                    if (!match(catDist(l, k), d43) || !match(catDist(l, j), d42))
                        continue;
                    for (const int m : fifthStars) {
                        if (!match(catDist(l, m), d45) || !match(catDist(m, j), d52) || !match(catDist(m, k), d53))
                            continue;
                        result.candidates.push_back({i, j, k, l, m});
                        if (int(result.candidates.size()) == kMaxCandidates) {
                            result.tableFull = true;
                            return result;
                        }
                    }
                }
            }
        }
    }
    return result;
}
