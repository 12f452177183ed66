// A panel drawn with a lowered outer bevel and, optionally, a raised inner bevel
// inside it: the classic sunken frame around a group of fields.
#pragma once

#include <QWidget>

namespace qe {

class FramedBox : public QWidget {
public:
    explicit FramedBox(QWidget* parent = nullptr, bool innerBevel = true);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool innerBevel_;
};

} // namespace qe
