#pragma once

#include <string>
#include <vector>

#include "rules/menu/GraphLayout.h"
#include "rules/menu/ProgressGraph.h"

namespace gaisan::testing {

/// What is wrong with the layout of a computed page of graphs, one sentence each: a text outside
/// its part of the page, unmeasured or over another; a label of a graph (a time, a date, an
/// axis' end) closer than a quarter of its line height to another text or to a line of the
/// graph (an axis, the best line) drawn as thick as it is, where on paper they would touch or
/// the line would hide its digits; a line or point outside its part. Empty when the page is
/// laid out well.
inline std::vector<std::string> layoutProblems(const GraphPage& page, const GraphSurface& surface) {
    std::vector<std::string> problems;
    const auto isLabel = [&](const GraphText& text) {
        return text.area.left == 0 && text.area.width == surface.width / 2;
    };
    const auto grown = [](const GraphRect& box, double margin) {
        return GraphRect{box.left - margin, box.top - margin, box.width + 2 * margin,
                         box.height + 2 * margin};
    };
    const auto quoted = [](const GraphText& text) { return "\"" + text.text + "\""; };
    for (std::size_t i = 0; i < page.texts.size(); ++i) {
        const GraphText& a = page.texts[i];
        if (!a.area.contains(a.box)) problems.push_back(quoted(a) + " leaves its part");
        if (isLabel(a) && !a.area.contains(grown(a.box, 0.25 * a.box.height)))
            problems.push_back(quoted(a) + " touches the edge of its part");
        if (a.box.width <= 0) problems.push_back(quoted(a) + " is unmeasured");
        for (std::size_t j = i + 1; j < page.texts.size(); ++j) {
            const GraphText& b = page.texts[j];
            if (a.box.intersects(b.box)) {
                problems.push_back(quoted(a) + " overlaps " + quoted(b));
                continue;
            }
            // The time and the date of one label are written one right below the other.
            const bool sameLabel =
                j == i + 1 && b.box.left == a.box.left && b.box.top == a.box.bottom();
            if (sameLabel || !(isLabel(a) || isLabel(b))) continue;
            const GraphText& label = isLabel(a) ? a : b;
            const GraphText& other = isLabel(a) ? b : a;
            if (grown(label.box, 0.25 * label.box.height).intersects(other.box))
                problems.push_back(quoted(a) + " touches " + quoted(b));
        }
        if (!isLabel(a)) continue;
        for (const GraphLine& line : page.lines) {
            const double margin = 0.25 * a.box.height + line.width * surface.dotsPerWidthUnit / 2;
            if (line.area.left == a.area.left && line.area.top == a.area.top &&
                clippedSegment(line.from, line.to, grown(a.box, margin))) {
                problems.push_back("a line of the graph crosses " + quoted(a));
            }
        }
    }
    for (const GraphLine& line : page.lines) {
        if (!line.area.contains(line.from) || !line.area.contains(line.to))
            problems.push_back("a line leaves its part");
    }
    for (const GraphDot& dot : page.dots) {
        if (!dot.area.contains(dot.at)) problems.push_back("a point leaves its part");
    }
    return problems;
}

}  // namespace gaisan::testing
