#include "view/JuliaPreview.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

#include "geometry/FitToWindow.h"
#include "geometry/ZoomGeometry.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "rendering/PreviewRenderer.h"
#include "control/ExploreController.h"

namespace velmora::gui {

namespace {

// The preview's picture: drawn as rendered, at its own size.
class PreviewPicture : public QWidget {
public:
    PreviewPicture(const QImage& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {
        setObjectName(QStringLiteral("JuliaPreviewPicture"));
        setMinimumSize(120, 90);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    std::function<void()> onDoubleClick;
    std::function<void()> onResize;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!m_picture.isNull()) painter.drawImage(QPoint(0, 0), m_picture);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
    }
    void resizeEvent(QResizeEvent*) override {
        if (onResize) onResize();
    }

private:
    const QImage& m_picture;
};

// Two lines, so a narrow dock never cuts the imaginary part off.
QString constantText(double re, double im) {
    const QString sign = std::signbit(im) ? QStringLiteral("- ") : QStringLiteral("+ ");
    return QStringLiteral("c = %1\n     %2%3i").arg(QString::number(re, 'g', 10), sign, QString::number(std::abs(im), 'g', 10));
}

}  // namespace

FractalParams JuliaPreview::juliaPlace(FractalParams from, double cReal, double cImag) {
    from.type = FractalType::Julia;
    from.cReal = cReal;
    from.cImag = cImag;
    from.left = kLeft;
    from.top = kTop;
    from.right = kRight;
    from.bottom = kBottom;
    from.exact.clear();
    return from;
}

JuliaPreview::JuliaPreview(Document& doc, QWidget& view, ExploreController& controller, QWidget* parent)
    : QDockWidget(QStringLiteral("Julia Preview"), parent), m_doc(doc), m_view(view), m_controller(controller),
      m_renderer(new PreviewRenderer(this)) {
    setObjectName(QStringLiteral("JuliaPreview"));  // names the dock in the saved layout
    setWhatsThis(tr("<b>Julia Preview</b><p>While a Mandelbrot picture is shown, the Julia set of the point "
                    "under the mouse. Double-click it to make the document that Julia set.</p>"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    auto* picture = new PreviewPicture(m_shown, body);
    picture->onDoubleClick = [this] { useShownConstant(); };
    picture->onResize = [this] {
        if (m_asked) showConstant(m_askedReal, m_askedImag);
    };
    m_pictureWidget = picture;
    m_constantLabel = new QLabel(body);
    m_constantLabel->setObjectName(QStringLiteral("JuliaPreviewConstant"));
    m_constantLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Each constant's text has its own length: it must not resize the dock
    // (and the view beside it) as the mouse moves.
    m_constantLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_constantLabel->setText(QStringLiteral("Point at a Mandelbrot picture\n"));
    layout->addWidget(m_pictureWidget, 1);
    layout->addWidget(m_constantLabel);
    setWidget(body);
    connect(m_renderer, &PreviewRenderer::rendered, this, &JuliaPreview::onRendered);
    // Moves without a button reach the view only while it tracks the mouse.
    m_view.setMouseTracking(true);
    m_view.installEventFilter(this);
}

bool JuliaPreview::showsMandelbrot() const {
    const RenderSession& session = m_controller.session();
    const FractalEngine* engine = session.engine();
    return m_doc.params().type == FractalType::Mandelbrot && session.isRendered() && !session.isBusy() &&
           engine != nullptr && engine->isValid();
}

bool JuliaPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view && event->type() == QEvent::MouseMove && isVisible() && showsMandelbrot()) {
        const auto* move = static_cast<QMouseEvent*>(event);
        // A drag moves the picture or a box: the point under it is not the shown one.
        if (move->buttons() == Qt::NoButton) {
            const QPoint at = move->position().toPoint();
            const FractalParams& p = m_doc.params();
            if (const auto c = planePointAt({p.left, p.top, p.right, p.bottom}, ClientPoint{at.x(), at.y()},
                                            m_view.width(), m_view.height()))
                showConstant(c->x, c->y);
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void JuliaPreview::showConstant(double cReal, double cImag) {
    m_askedReal = cReal;
    m_askedImag = cImag;
    m_asked = true;
    if (m_pictureWidget->width() <= 0 || m_pictureWidget->height() <= 0) return;
    FractalParams values = juliaPlace(FractalParams{}, cReal, cImag);
    values.iterations = std::min(m_doc.params().iterations, kMaxDetailLevel + 1);
    values.width = m_pictureWidget->width();
    values.height = m_pictureWidget->height();
    // The whole set at the dock's own proportions: widened, never stretched.
    if (const auto around = regionAround({values.left, values.top, values.right, values.bottom}, values.width, values.height))
        std::tie(values.left, values.top, values.right, values.bottom) =
            std::tuple(around->left, around->top, around->right, around->bottom);
    m_renderer->request(values, m_doc.palette());
}

void JuliaPreview::onRendered(const QImage& picture, std::uint64_t) {
    // Only the latest request is answered, so it shows the constant last asked for.
    m_shown = picture;
    m_shownReal = m_askedReal;
    m_shownImag = m_askedImag;
    m_constantLabel->setText(constantText(m_shownReal, m_shownImag));
    m_pictureWidget->update();
}

void JuliaPreview::useShownConstant() {
    if (m_shown.isNull() || m_controller.session().isBusy()) return;
    m_controller.changeAndRender(juliaPlace(m_doc.params(), m_shownReal, m_shownImag));
}

}  // namespace velmora::gui
