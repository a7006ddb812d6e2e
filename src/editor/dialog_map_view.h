#pragma once

#include "graph/dialog_graph.h"
#include "layout/graph_layout.h"
#include "model/edit.h"
#include "model/project.h"

#include <QFutureWatcher>
#include <QGraphicsView>
#include <QTimer>

#include <memory>
#include <set>
#include <vector>

namespace kv {

namespace map_detail {
class MapBox;
class MapArrow;
struct LaidOutMap;
} // namespace map_detail

// The map of the project: every dialog a box, every answer with a follow-up an arrow labelled
// with its number, functions outside the project small dashed boxes. Graphviz places them, off
// the window's thread; the map on screen stays usable until the new one is ready.
class DialogMapView : public QGraphicsView {
    Q_OBJECT
public:
    explicit DialogMapView(const Project& project, QWidget* parent = nullptr);
    ~DialogMapView() override;

    // Dialogs (list positions) that carry the problem mark.
    void SetMarkedDialogs(std::set<int> positions);

    // Where the box of the dialog at this position is on the map, in scene coordinates; empty
    // when it has none (yet).
    QRectF BoxRect(int dialog) const;

    // The map as Graphviz draws it (SVG) and as the window draws it (PNG). Throw Error.
    void ExportSvg(const QString& path) const;
    void ExportPng(const QString& path) const;

public slots:
    // The project changed: a new layout is made once the current burst of edits is over.
    void ProjectChanged();
    // Selects and centres the dialog's box, and the arrow of its answer for a slot 0..11.
    void ShowPlace(kv::Place place);
    void ZoomIn();
    void ZoomOut();
    void FitToWindow();

signals:
    // A click on a dialog's box (slot -1) or a double click on an arrow (its answer's slot).
    void PlaceActivated(kv::Place place);
    // The map now shows the project as of the latest ProjectChanged, or the layout's error.
    void LayoutFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    using Result = std::shared_ptr<const map_detail::LaidOutMap>;
    void Relayout();
    void StartLayout();
    void LayoutReady();
    void BuildScene(const map_detail::LaidOutMap& map);
    void ClearScene();
    void ShowMessage(const QString& text);
    void Highlight();
    void ScaleBy(double factor);

    const Project& project_;
    QGraphicsScene scene_;
    QTimer relayout_;
    QFutureWatcher<Result> watcher_;
    bool running_ = false;
    bool stale_ = false;       // the project changed since the layout under way was started
    bool waitingShow_ = true;  // not laid out for the project as it is: laid out when shown
    bool fitted_ = false;      // the first map fits the window; later ones keep the user's zoom
    Result shown_;
    std::vector<map_detail::MapBox*> boxOfDialog_;
    std::vector<std::vector<map_detail::MapArrow*>> arrowsOfDialog_;
    map_detail::MapBox* selectedBox_ = nullptr;
    map_detail::MapArrow* selectedArrow_ = nullptr;
    std::set<int> marked_;
    Place place_;
};

} // namespace kv
