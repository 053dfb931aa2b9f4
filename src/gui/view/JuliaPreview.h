#pragma once
// The "Julia Preview" dock: while a Mandelbrot picture is shown, the Julia set
// of the constant under the mouse, rendered off the GUI thread as the mouse
// moves (the latest position wins), with the constant written under it.
// Double-clicking it makes the document that Julia set, as a step Back undoes.
#include <QDockWidget>
#include <QImage>

#include <cstdint>

#include "location/FractalParams.h"

class QLabel;

namespace velmora {
class Document;
}

namespace velmora::gui {

class ExploreController;
class PreviewRenderer;

class JuliaPreview : public QDockWidget {
    Q_OBJECT
public:
    // The mouse over `view` picks the constant; a double-click asks the
    // controller for that Julia set.
    JuliaPreview(Document& doc, QWidget& view, ExploreController& controller, QWidget* parent = nullptr);

    // The region every preview shows, and the most Detail Level it takes.
    static constexpr double kLeft = -2.0, kTop = -1.5, kRight = 2.0, kBottom = 1.5;
    static constexpr std::int32_t kMaxDetailLevel = 500;
    // The Julia set of a constant over that region, other values as in
    // `from`; the place is whole in doubles.
    static FractalParams juliaPlace(FractalParams from, double cReal, double cImag);

    // Asks for the Julia set of c at the picture's size.
    void showConstant(double cReal, double cImag);
    // The document becomes the Julia set shown, and is rendered.
    void useShownConstant();

    const QImage& picture() const { return m_shown; }
    double shownReal() const { return m_shownReal; }
    double shownImag() const { return m_shownImag; }
    PreviewRenderer& renderer() const { return *m_renderer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onRendered(const QImage& picture, std::uint64_t request);
    // True while the view shows a Mandelbrot picture the mouse can pick from.
    bool showsMandelbrot() const;

    Document& m_doc;
    QWidget& m_view;
    ExploreController& m_controller;
    PreviewRenderer* m_renderer;
    QWidget* m_pictureWidget;
    QLabel* m_constantLabel;
    QImage m_shown;
    double m_shownReal = 0.0, m_shownImag = 0.0;
    double m_askedReal = 0.0, m_askedImag = 0.0;
    bool m_asked = false;
};

}  // namespace velmora::gui
