#include "editor/dialog_map_view.h"

#include "editor/qt_text.h"
#include "text/error.h"
#include "text/file_io.h"

#include <QBuffer>
#include <QGraphicsItem>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPromise>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>
#include <QThreadPool>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kv {

namespace map_detail {

// What a layout delivers to the window: the graph it was made from and where Graphviz put it.
struct LaidOutMap {
    DialogGraph graph;
    GraphLayout layout;
    std::string error; // Graphviz's complaint (UTF-8) when the layout failed
};

const QColor kInk(0x33, 0x33, 0x33);
const QColor kSelected(0x1f, 0x6f, 0xd1);
const QColor kProblem(0xc6, 0x28, 0x28);

// Text is drawn only from this scale on: smaller, it is unreadable and costs most of a paint.
constexpr double kTextDetail = 0.35;

QFont MapFont(double pixels, bool bold = false) {
    QFont font;
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    return font;
}

QPointF Point(const LayoutPoint& p) { return {p.x, p.y}; }

// Whether the item is drawn large enough for its text. Smaller, it is drawn without smoothing
// too, which the raster engine does for less: a whole large project has thousands of them.
bool Detailed(QPainter* painter, const QStyleOptionGraphicsItem* option) {
    if (option->levelOfDetailFromTransform(painter->worldTransform()) >= kTextDetail) return true;
    painter->setRenderHint(QPainter::Antialiasing, false);
    return false;
}

class MapBox : public QGraphicsItem {
public:
    MapBox(const GraphNode& node, const NodePlace& place)
        : dialog_(node.dialog), number_(QString::number(node.function)),
          caption_(FromCp1251(node.caption).simplified()),
          rect_(place.center.x - place.width / 2, place.center.y - place.height / 2, place.width,
                place.height) {
        setZValue(1);
        setToolTip(caption_.isEmpty() ? number_ : number_ + QStringLiteral(": ") + caption_);
    }

    int Dialog() const { return dialog_; }
    QRectF Rect() const { return rect_; }
    void SetSelected(bool on) { Set(selected_, on); }
    void SetMarked(bool on) { Set(marked_, on); }

    QRectF boundingRect() const override { return rect_.adjusted(-3, -9, 9, 3); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        const bool outside = dialog_ < 0;
        const bool detailed = Detailed(painter, option);
        QPen pen(selected_ ? kSelected : marked_ ? kProblem : kInk, selected_ || marked_ ? 2 : 1);
        if (!detailed) {
            pen.setWidth(0); // one pixel whatever the scale: the rasterizer's fast path
            if (!selected_ && !marked_) pen.setColor(QColor(0x90, 0x90, 0x90));
        } else if (outside) {
            pen.setStyle(Qt::DashLine);
        }
        painter->setPen(pen);
        painter->setBrush(outside ? QColor(0xf3, 0xf3, 0xf3)
                                  : selected_ ? QColor(0xe3, 0xee, 0xfb) : QColor(0xff, 0xfd, 0xf4));
        painter->drawRect(rect_);
        if (marked_) {
            const QRectF badge(rect_.right() - 6, rect_.top() - 8, 14, 14);
            painter->setPen(Qt::NoPen);
            painter->setBrush(kProblem);
            painter->drawEllipse(badge);
            painter->setPen(Qt::white);
            painter->setFont(MapFont(11, true));
            painter->drawText(badge, Qt::AlignCenter, QStringLiteral("!"));
        }
        if (!detailed) return;
        painter->setPen(kInk);
        const QRectF inner = rect_.adjusted(2, 2, -2, -2);
        if (caption_.isEmpty()) {
            painter->setFont(MapFont(10, !outside));
            painter->drawText(inner, Qt::AlignCenter, number_);
            return;
        }
        const double half = inner.height() / 2;
        painter->setFont(MapFont(10, true));
        painter->drawText(QRectF(inner.left(), inner.top(), inner.width(), half),
                          Qt::AlignHCenter | Qt::AlignBottom, number_);
        // Graphviz sized the box for a 10-point text at 72 points an inch: 10 scene units.
        const QFont font = MapFont(10);
        painter->setFont(font);
        const QString shown =
            QFontMetricsF(font).elidedText(caption_, Qt::ElideRight, inner.width());
        painter->drawText(QRectF(inner.left(), inner.top() + half, inner.width(), half),
                          Qt::AlignHCenter | Qt::AlignTop, shown);
    }

private:
    void Set(bool& flag, bool on) {
        if (flag == on) return;
        flag = on;
        update();
    }

    int dialog_;
    QString number_, caption_;
    QRectF rect_;
    bool selected_ = false, marked_ = false;
};

class MapArrow : public QGraphicsItem {
public:
    MapArrow(const GraphEdge& edge, const EdgeRoute& route, int dialog)
        : dialog_(dialog), slot_(edge.answer - 1), number_(QString::number(edge.answer)) {
        const std::vector<LayoutPoint>& s = route.spline;
        if (!s.empty()) {
            path_.moveTo(Point(s[0]));
            for (std::size_t i = 1; i + 2 < s.size(); i += 3)
                path_.cubicTo(Point(s[i]), Point(s[i + 1]), Point(s[i + 2]));
            // The head ends at the tip Graphviz gives, else at the end of the line itself.
            QPointF tip = Point(s.back());
            QPointF from = s.size() > 1 ? Point(s[s.size() - 2]) : tip;
            if (route.hasArrow) {
                from = tip;
                tip = Point(route.arrowTip);
            }
            const QLineF line(tip, from);
            if (line.length() > 0.01) {
                const double angle = std::atan2(line.dy(), line.dx());
                auto side = [&](double turn) {
                    return tip + QPointF(std::cos(angle + turn), std::sin(angle + turn)) * 9;
                };
                head_ << tip << side(0.4) << side(-0.4);
            }
        }
        const QFontMetricsF metrics(MapFont(10, true));
        label_ = metrics.boundingRect(number_).adjusted(-2, -1, 2, 1);
        label_.moveCenter(Point(route.label));
        QPainterPathStroker stroker;
        stroker.setWidth(7);
        shape_ = stroker.createStroke(path_);
        shape_.addPolygon(head_);
        shape_.addRect(label_);
        bounds_ = shape_.boundingRect().adjusted(-2, -2, 2, 2);
        if (!edge.caption.empty())
            setToolTip(number_ + QStringLiteral(". ") + FromCp1251(edge.caption).simplified());
    }

    Place Answer() const { return {dialog_, slot_}; }
    void SetSelected(bool on) {
        if (selected_ == on) return;
        selected_ = on;
        setZValue(on ? 0.5 : 0);
        update();
    }

    QRectF boundingRect() const override { return bounds_; }
    QPainterPath shape() const override { return shape_; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        const bool detailed = Detailed(painter, option);
        const QColor colour = selected_ ? kSelected
                              : detailed ? QColor(0x6b, 0x6b, 0x6b) : QColor(0xb4, 0xb4, 0xb4);
        painter->setPen(QPen(colour, !detailed ? 0 : selected_ ? 2.2 : 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(path_);
        if (!detailed) return; // the head would be a pixel or less
        painter->setBrush(colour);
        painter->drawPolygon(head_);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(255, 255, 255, 220));
        painter->drawRect(label_);
        painter->setPen(selected_ ? kSelected : kInk);
        painter->setFont(MapFont(10, true));
        painter->drawText(label_, Qt::AlignCenter, number_);
    }

private:
    int dialog_, slot_;
    QString number_;
    QPainterPath path_, shape_;
    QPolygonF head_;
    QRectF label_, bounds_;
    bool selected_ = false;
};

} // namespace map_detail

using map_detail::LaidOutMap;
using map_detail::MapArrow;
using map_detail::MapBox;
using map_detail::MapFont;
using map_detail::kInk;

DialogMapView::DialogMapView(const Project& project, QWidget* parent)
    : QGraphicsView(parent), project_(project) {
    setObjectName(QStringLiteral("DialogMapView"));
    setScene(&scene_);
    scene_.setBackgroundBrush(Qt::white);
    setRenderHint(QPainter::Antialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    relayout_.setSingleShot(true);
    relayout_.setInterval(0);
    connect(&relayout_, &QTimer::timeout, this, &DialogMapView::StartLayout);
    connect(&watcher_, &QFutureWatcher<Result>::finished, this, &DialogMapView::LayoutReady);
}

// A layout still under way finishes in its worker and is thrown away with its promise.
DialogMapView::~DialogMapView() = default;

void DialogMapView::ProjectChanged() {
    if (running_) stale_ = true;
    Relayout();
}

void DialogMapView::Relayout() {
    // A hidden map (its dock closed) costs nothing until it is shown again.
    if (isVisible())
        relayout_.start();
    else
        waitingShow_ = true;
}

void DialogMapView::showEvent(QShowEvent* event) {
    QGraphicsView::showEvent(event);
    if (waitingShow_) {
        waitingShow_ = false;
        relayout_.start();
    }
}

void DialogMapView::StartLayout() {
    // One layout at a time: Graphviz runs one anyway, and edits made meanwhile are taken up
    // together by the next one.
    if (running_) return;
    running_ = true;
    stale_ = false;
    if (!shown_) ShowMessage(QStringLiteral("Карта раскладывается..."));
    // The graph is a copy: the worker never touches the project the user goes on editing.
    auto map = std::make_shared<LaidOutMap>();
    map->graph = BuildDialogGraph(project_);
    auto promise = std::make_shared<QPromise<Result>>();
    watcher_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, map] {
        try {
            map->layout = LayOutGraph(map->graph, EngineForSize(map->graph.nodes.size()));
        } catch (const Error& e) {
            map->error = e.what();
        } catch (const std::exception& e) {
            map->error = std::string("Не удалось разложить карту диалогов: ") + e.what();
        }
        promise->addResult(Result(map));
        promise->finish();
    });
}

void DialogMapView::LayoutReady() {
    running_ = false;
    const Result map = watcher_.future().resultCount() > 0 ? watcher_.future().result() : nullptr;
    if (stale_ || !map) {
        // The project changed while this layout was made: its positions name other dialogs.
        Relayout();
        return;
    }
    if (!map->error.empty()) {
        shown_ = nullptr;
        ShowMessage(QString::fromUtf8(map->error));
    } else {
        shown_ = map;
        BuildScene(*map);
    }
    emit LayoutFinished();
}

void DialogMapView::ClearScene() {
    scene_.clear();
    boxOfDialog_.clear();
    arrowsOfDialog_.clear();
    selectedBox_ = nullptr;
    selectedArrow_ = nullptr;
}

void DialogMapView::ShowMessage(const QString& text) {
    ClearScene();
    auto* item = scene_.addSimpleText(text, MapFont(13));
    item->setBrush(kInk);
    scene_.setSceneRect(item->boundingRect().adjusted(-20, -20, 20, 20));
    resetTransform();
    fitted_ = false;
}

void DialogMapView::BuildScene(const LaidOutMap& map) {
    ClearScene();
    // The dialogs come first in the graph, in list order, then the outside functions.
    const auto dialogs = static_cast<std::size_t>(
        std::count_if(map.graph.nodes.begin(), map.graph.nodes.end(),
                      [](const GraphNode& node) { return node.dialog >= 0; }));
    boxOfDialog_.assign(dialogs, nullptr);
    arrowsOfDialog_.assign(boxOfDialog_.size(), {});
    // Scene construction is the map's own: no index updates item by item.
    scene_.setItemIndexMethod(QGraphicsScene::NoIndex);
    std::vector<MapBox*> boxes;
    boxes.reserve(map.graph.nodes.size());
    for (std::size_t i = 0; i < map.graph.nodes.size(); ++i) {
        auto* box = new MapBox(map.graph.nodes[i], map.layout.nodes[i]);
        scene_.addItem(box);
        boxes.push_back(box);
        const int dialog = box->Dialog();
        if (dialog >= 0 && dialog < static_cast<int>(boxOfDialog_.size()))
            boxOfDialog_[static_cast<std::size_t>(dialog)] = box;
    }
    for (std::size_t i = 0; i < map.graph.edges.size(); ++i) {
        const GraphEdge& edge = map.graph.edges[i];
        const int dialog = boxes[static_cast<std::size_t>(edge.from)]->Dialog();
        auto* arrow = new MapArrow(edge, map.layout.edges[i], dialog);
        scene_.addItem(arrow);
        if (dialog >= 0 && dialog < static_cast<int>(arrowsOfDialog_.size()))
            arrowsOfDialog_[static_cast<std::size_t>(dialog)].push_back(arrow);
    }
    scene_.setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    const double margin = 20;
    scene_.setSceneRect(-margin, -margin, map.layout.width + 2 * margin,
                        map.layout.height + 2 * margin);
    for (int d : marked_) {
        if (d >= 0 && d < static_cast<int>(boxOfDialog_.size()) && boxOfDialog_[static_cast<std::size_t>(d)])
            boxOfDialog_[static_cast<std::size_t>(d)]->SetMarked(true);
    }
    Highlight();
    if (!fitted_) {
        fitted_ = true;
        FitToWindow();
        if (place_.dialog >= 0) ShowPlace(place_);
    }
}

void DialogMapView::SetMarkedDialogs(std::set<int> positions) {
    marked_ = std::move(positions);
    for (std::size_t d = 0; d < boxOfDialog_.size(); ++d) {
        if (boxOfDialog_[d]) boxOfDialog_[d]->SetMarked(marked_.count(static_cast<int>(d)) > 0);
    }
}

QRectF DialogMapView::BoxRect(int dialog) const {
    if (dialog < 0 || dialog >= static_cast<int>(boxOfDialog_.size())) return {};
    const MapBox* box = boxOfDialog_[static_cast<std::size_t>(dialog)];
    return box ? box->Rect() : QRectF();
}

void DialogMapView::Highlight() {
    if (selectedBox_) selectedBox_->SetSelected(false);
    if (selectedArrow_) selectedArrow_->SetSelected(false);
    selectedBox_ = nullptr;
    selectedArrow_ = nullptr;
    if (place_.dialog < 0 || place_.dialog >= static_cast<int>(boxOfDialog_.size())) return;
    const auto d = static_cast<std::size_t>(place_.dialog);
    selectedBox_ = boxOfDialog_[d];
    if (selectedBox_) selectedBox_->SetSelected(true);
    for (MapArrow* arrow : arrowsOfDialog_[d]) {
        if (arrow->Answer() == place_) selectedArrow_ = arrow;
    }
    if (selectedArrow_) selectedArrow_->SetSelected(true);
}

void DialogMapView::ShowPlace(Place place) {
    place_ = place;
    Highlight();
    const QRectF rect = BoxRect(place.dialog);
    if (rect.isNull()) return;
    if (!mapToScene(viewport()->rect()).boundingRect().contains(rect)) centerOn(rect.center());
}

void DialogMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (auto* box = dynamic_cast<MapBox*>(itemAt(event->position().toPoint()));
            box && box->Dialog() >= 0 && box->Dialog() < project_.DialogCount()) {
            ShowPlace({box->Dialog(), -1});
            emit PlaceActivated({box->Dialog(), -1});
            event->accept();
            return;
        }
    }
    // Anywhere else a press starts dragging the map.
    QGraphicsView::mousePressEvent(event);
}

void DialogMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (auto* arrow = dynamic_cast<MapArrow*>(itemAt(event->position().toPoint()));
            arrow && arrow->Answer().dialog < project_.DialogCount()) {
            ShowPlace(arrow->Answer());
            emit PlaceActivated(arrow->Answer());
            event->accept();
            return;
        }
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

void DialogMapView::ScaleBy(double factor) {
    // From a whole project at a glance to a few boxes across the window.
    const double now = transform().m11();
    const double wanted = std::clamp(now * factor, 0.01, 6.0);
    scale(wanted / now, wanted / now);
}

void DialogMapView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps == 0) return QGraphicsView::wheelEvent(event);
    ScaleBy(std::pow(1.0015, steps));
    event->accept();
}

void DialogMapView::keyPressEvent(QKeyEvent* event) {
    // Ctrl with '+' or '=' (the same key without Shift), '-', and '0' for the whole map; on
    // the main keys and the keypad alike.
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const int key = event->key();
    if (ctrl && (key == Qt::Key_Plus || key == Qt::Key_Equal)) {
        ZoomIn();
    } else if (ctrl && key == Qt::Key_Minus) {
        ZoomOut();
    } else if (ctrl && key == Qt::Key_0) {
        FitToWindow();
    } else {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DialogMapView::ZoomIn() {
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    ScaleBy(1.25);
    setTransformationAnchor(anchor);
}

void DialogMapView::ZoomOut() {
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    ScaleBy(1 / 1.25);
    setTransformationAnchor(anchor);
}

void DialogMapView::FitToWindow() {
    fitInView(scene_.sceneRect(), Qt::KeepAspectRatio);
    // A small project is not blown up far beyond its natural size.
    if (transform().m11() > 1.5) setTransform(QTransform::fromScale(1.5, 1.5));
}

void DialogMapView::ExportSvg(const QString& path) const {
    if (!shown_) throw Error("Карта ещё не готова");
    const DialogGraph& graph = shown_->graph;
    ReplaceFileSafely(ToUtf8Path(path), RenderGraph(graph, EngineForSize(graph.nodes.size()), "svg"));
}

void DialogMapView::ExportPng(const QString& path) const {
    if (!shown_) throw Error("Карта ещё не готова");
    // At twice the scene's size for a sharp picture, within what fits in memory comfortably.
    const QRectF source = scene_.sceneRect();
    const double maxPixels = 40e6;
    const double area = source.width() * source.height();
    const double factor = std::min({2.0, std::sqrt(maxPixels / std::max(area, 1.0)),
                                    16000 / std::max(source.width(), source.height())});
    QImage image(std::max(1, static_cast<int>(source.width() * factor)),
                 std::max(1, static_cast<int>(source.height() * factor)), QImage::Format_RGB32);
    if (image.isNull()) throw Error("Не хватает памяти для картинки карты");
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        scene()->render(&painter, QRectF(image.rect()), source);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw Error("Не удалось сжать картинку карты в PNG");
    ReplaceFileSafely(ToUtf8Path(path), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace kv
