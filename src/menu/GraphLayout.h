#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "menu/ProgressGraph.h"

namespace gaisan {

/// Writes the texts of a graph page so that none overlaps another and each stays inside its part
/// of the page, measuring each with the surface's own metrics.
class GraphTextPlacer {
public:
    GraphTextPlacer(GraphPage& page, const MeasureText& measure)
        : m_page(page), m_measure(measure) {}

    GraphTextSize measure(const std::string& text, double pointSize) const;
    /// The size of `lines` written one below the other.
    GraphTextSize measure(const std::vector<std::string>& lines, double pointSize) const;

    /// Writes `lines` one below the other, the first's top-left corner at the first of
    /// `candidates` where, moved inside `area` as far as needed, they overlap no text written
    /// before. False, and nothing written, when no candidate has room: a label is better left
    /// out than written over another.
    bool place(const std::vector<std::string>& lines, double pointSize, const GraphRect& area,
               const std::vector<GraphPoint>& candidates);

    /// Writes a text that must show at `at`, moved inside `area`, in a smaller font when it does
    /// not fit there at `pointSize`.
    void placeFixed(const std::string& text, double pointSize, const GraphRect& area,
                    GraphPoint at);

private:
    /// `box` moved inside `area`; empty when it is larger than the area.
    static std::optional<GraphRect> movedInside(GraphRect box, const GraphRect& area);
    bool free(const GraphRect& box) const;

    GraphPage& m_page;
    const MeasureText& m_measure;
};

/// The part of the segment from `a` to `b` inside `area`; empty when none of it is.
std::optional<std::pair<GraphPoint, GraphPoint>> clippedSegment(GraphPoint a, GraphPoint b,
                                                                const GraphRect& area);

}  // namespace gaisan
