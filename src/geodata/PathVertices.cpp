#include "geodata/PathVertices.h"

namespace geodata {

void forEachVertexRun(const QPainterPath& path, const std::function<void(const std::vector<QPointF>&)>& visit)
{
    std::vector<QPointF> run;
    run.reserve(size_t(path.elementCount()));
    auto flush = [&] {
        if (!run.empty())
            visit(run);
        run.clear();
    };
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& element = path.elementAt(i);
        if (element.isMoveTo()) {
            flush();
            run.push_back(element);
        } else if (element.isLineTo()) {
            run.push_back(element);
        } else if (element.isCurveTo() && i + 2 < count) {
            run.push_back(path.elementAt(i + 2));
            i += 2;
        }
    }
    flush();
}

} // namespace geodata
