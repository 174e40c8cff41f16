#include "rules/menu/GraphLayout.h"

#include <algorithm>

namespace gaisan {
namespace {

/// How much smaller each try of a text that does not fit is written, and how many tries.
constexpr double kShrink = 0.9;
constexpr int kShrinkTries = 12;

GraphRect grownBy(const GraphRect& box, double margin) {
    return {box.left - margin, box.top - margin, box.width + 2 * margin, box.height + 2 * margin};
}

}  // namespace

GraphTextSize GraphTextPlacer::measure(const std::string& text, double pointSize) const {
    return m_measure(text, pointSize);
}

GraphTextSize GraphTextPlacer::measure(const std::vector<std::string>& lines,
                                       double pointSize) const {
    GraphTextSize size;
    for (const std::string& line : lines) {
        const GraphTextSize one = measure(line, pointSize);
        size.width = std::max(size.width, one.width);
        size.height += one.height;
    }
    return size;
}

std::optional<GraphRect> GraphTextPlacer::movedInside(GraphRect box, const GraphRect& area) {
    if (box.width > area.width || box.height > area.height) return std::nullopt;
    box.left = std::clamp(box.left, area.left, area.right() - box.width);
    box.top = std::clamp(box.top, area.top, area.bottom() - box.height);
    return box;
}

bool GraphTextPlacer::free(const GraphRect& box, double margin, bool label) const {
    const GraphRect grown = grownBy(box, margin);
    const bool clearOfTexts =
        std::none_of(m_page.texts.begin(), m_page.texts.end(),
                     [&](const GraphText& text) { return text.box.intersects(grown); });
    const auto crosses = [&](const AvoidedLine& avoided) {
        return clippedSegment(avoided.line.from, avoided.line.to,
                              grownBy(grown, avoided.halfThickness))
            .has_value();
    };
    return clearOfTexts && (!label || std::none_of(m_avoided.begin(), m_avoided.end(), crosses));
}

bool GraphTextPlacer::place(const std::vector<std::string>& lines, double pointSize,
                            const GraphRect& area, const std::vector<GraphPoint>& candidates) {
    return placeAt(lines, pointSize, area, candidates, true);
}

bool GraphTextPlacer::placeAt(const std::vector<std::string>& lines, double pointSize,
                              const GraphRect& area, const std::vector<GraphPoint>& candidates,
                              bool label) {
    const GraphTextSize size = measure(lines, pointSize);
    const double margin =
        label && !lines.empty() ? clearance(size.height / static_cast<double>(lines.size())) : 0;
    // A label keeps its clearance from the edges of its part too, where the rules are.
    const GraphRect inner = grownBy(area, -margin);
    for (const GraphPoint& at : candidates) {
        const std::optional<GraphRect> box =
            movedInside({at.x, at.y, size.width, size.height}, inner);
        if (!box || !free(*box, margin, label)) continue;
        double top = box->top;
        for (const std::string& line : lines) {
            const GraphTextSize one = measure(line, pointSize);
            const GraphRect lineBox{box->left, top, one.width, one.height};
            m_page.texts.push_back({{lineBox.left, lineBox.top}, line, pointSize, lineBox, area});
            top += one.height;
        }
        return true;
    }
    return false;
}

void GraphTextPlacer::placeFixed(const std::string& text, double pointSize, const GraphRect& area,
                                 GraphPoint at) {
    double size = pointSize;
    for (int attempt = 0; attempt < kShrinkTries; ++attempt, size *= kShrink) {
        if (placeAt({text}, size, area, {at}, false)) return;
    }
    // Nowhere free even at the smallest size: written anyway, since a missing name or heading
    // would mislead more than a crowded one.
    const GraphTextSize one = measure(text, size);
    const GraphRect box{at.x, at.y, one.width, one.height};
    m_page.texts.push_back({at, text, size, box, area});
}

std::optional<std::pair<GraphPoint, GraphPoint>> clippedSegment(GraphPoint a, GraphPoint b,
                                                                const GraphRect& area) {
    // Liang-Barsky: the segment is a + t (b - a), t in [0, 1], narrowed edge by edge.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double low = 0;
    double high = 1;
    const auto narrow = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > high) return false;
            low = std::max(low, t);
        } else {
            if (t < low) return false;
            high = std::min(high, t);
        }
        return true;
    };
    if (!narrow(-dx, a.x - area.left) || !narrow(dx, area.right() - a.x) ||
        !narrow(-dy, a.y - area.top) || !narrow(dy, area.bottom() - a.y)) {
        return std::nullopt;
    }
    return std::pair{GraphPoint{a.x + low * dx, a.y + low * dy},
                     GraphPoint{a.x + high * dx, a.y + high * dy}};
}

}  // namespace gaisan
