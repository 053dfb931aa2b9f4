#pragma once
// The picture area of the player: the frame scaled to fit with its aspect
// ratio kept (nearest pixel when enlarging, so pixels stay sharp), or the note
// drawn in place of a frame that cannot be shown.
#include <QImage>
#include <QString>
#include <QWidget>

class FrameView : public QWidget {
    Q_OBJECT

public:
    explicit FrameView(QWidget* parent = nullptr);

    void show(const QImage& image, const QString& note);
    // Where the picture lands in a view of this size.
    static QRect fittedRect(const QSize& picture, const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    QString m_note;
};
