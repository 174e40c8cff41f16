#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rules/menu/ProgressGraph.h"

namespace gaisan {

/// Writes the texts of a graph page so that none overlaps another and each stays inside its part
/// of the page, measuring each with the surface's own metrics. A label keeps a clearance of a
/// quarter of its line height from every text, from the edges of its part of the page and from
/// every line it is told to avoid (the axes, the best-time line), so that on paper two labels
/// never touch and no line hides a label's digits.
class GraphTextPlacer {
public:
    GraphTextPlacer(GraphPage& page, const MeasureText& measure)
        : m_page(page), m_measure(measure) {}

    /// The clearance of a label whose lines are `lineHeight` high.
    static double clearance(double lineHeight) { return 0.25 * lineHeight; }

    /// Labels placed from now on keep clear of `line`, drawn `thickness` of the surface's units
    /// thick.
    void avoid(const GraphLine& line, double thickness) {
        m_avoided.push_back({line, thickness / 2});
    }

    GraphTextSize measure(const std::string& text, double pointSize) const;
    /// The size of `lines` written one below the other.
    GraphTextSize measure(const std::vector<std::string>& lines, double pointSize) const;

    /// Writes the label `lines` one below the other, the first's top-left corner at the first
    /// of `candidates` where, moved inside `area` as far as needed, they keep their clearance
    /// from every text written before and every line avoided. False, and nothing written, when
    /// no candidate has room: a label is better left out than written over another or across
    /// a line.
    bool place(const std::vector<std::string>& lines, double pointSize, const GraphRect& area,
               const std::vector<GraphPoint>& candidates);

    /// Writes a text that must show at `at`, moved inside `area`, in a smaller font when it does
    /// not fit there at `pointSize`. It may touch the texts before it (the lines of the
    /// statistics are written one right below the other), but never overlaps one.
    void placeFixed(const std::string& text, double pointSize, const GraphRect& area,
                    GraphPoint at);

private:
    bool placeAt(const std::vector<std::string>& lines, double pointSize, const GraphRect& area,
                 const std::vector<GraphPoint>& candidates, bool label);
    /// `box` moved inside `area`; empty when it is larger than the area.
    static std::optional<GraphRect> movedInside(GraphRect box, const GraphRect& area);
    /// Whether `box`, grown by `margin` on every side, overlaps no text and, for a label, is
    /// crossed by no avoided line.
    bool free(const GraphRect& box, double margin, bool label) const;

    struct AvoidedLine {
        GraphLine line;
        double halfThickness = 0;
    };

    GraphPage& m_page;
    const MeasureText& m_measure;
    std::vector<AvoidedLine> m_avoided;
};

/// The part of the segment from `a` to `b` inside `area`; empty when none of it is.
std::optional<std::pair<GraphPoint, GraphPoint>> clippedSegment(GraphPoint a, GraphPoint b,
                                                                const GraphRect& area);

}  // namespace gaisan
