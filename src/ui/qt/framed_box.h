// The two framed containers of the classic look, drawn by hand so that they look
// the same in every style: a panel with a lowered outer and a raised inner bevel,
// and a group box whose caption is set into the top edge of an etched frame.
#pragma once

#include <QGroupBox>
#include <QWidget>

namespace qe {

class FramedBox : public QWidget {
public:
    explicit FramedBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class GroupBox : public QGroupBox {
public:
    GroupBox(const QString& caption, QWidget* parent);

    // The frame's top edge runs through the middle of the caption's line.
    int frameTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qe
