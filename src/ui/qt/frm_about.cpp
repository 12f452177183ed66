#include "frm_about.h"

#include "app_look.h"
#include "app_title.h"
#include "framed_box.h"
#include "icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace qe {
namespace {

constexpr int kOuterWidth = 305;
constexpr int kOuterHeight = 266;
constexpr int kGroupWidth = 281;
constexpr int kIconSize = 32;
constexpr int kMargin = 8;
constexpr int kSideFrames = 8; // the sizeable frame's left and right borders together
constexpr int kIconGap = 6;

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// An icon drawn at the screen's own pixel density, shown kIconSize pixels square.
QLabel* icon(const char* name, QPixmap picture, QWidget* parent) {
    auto* image = new QLabel(parent);
    image->setObjectName(QLatin1String(name));
    picture.setDevicePixelRatio(static_cast<qreal>(picture.width()) / scaled(kIconSize));
    image->setPixmap(picture);
    image->setFixedSize(scaled(kIconSize), scaled(kIconSize));
    return image;
}

QGroupBox* creditGroup(const char* name, const QString& caption, QWidget* parent) {
    auto* group = new GroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    group->setFixedWidth(scaled(kGroupWidth));
    return group;
}

template <typename Layout> Layout* creditLayout(QGroupBox* group) {
    auto* layout = new Layout(group);
    layout->setContentsMargins(scaled(12), scaled(2), scaled(12), scaled(6));
    layout->setSpacing(scaled(4));
    return layout;
}

QWidget* titleRow(QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* header = namedLabel("lblHeader", appTitle(), row);
    QFont font = header->font();
    font.setPointSize(24);
    font.setUnderline(true);
    // The title stands between the icons at full height; a sans font wider than
    // the one the box was drawn for is condensed to fit.
    const int room = scaled(kOuterWidth - kSideFrames - 2 * (kMargin + kIconSize + kIconGap));
    for (int stretch = 100; stretch > 50; --stretch) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(header->text()) <= room) break;
    }
    header->setFont(font);
    header->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    header->setAlignment(Qt::AlignCenter);
    header->setMinimumHeight(scaled(kIconSize));

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scaled(kIconGap));
    const int iconPixels = static_cast<int>(scaled(kIconSize) * parent->devicePixelRatioF());
    layout->addWidget(icon("imgLeft", appPixmap(iconPixels), row), 0, Qt::AlignVCenter);
    layout->addWidget(header, 1);
    layout->addWidget(icon("imgRight", globePixmap(iconPixels), row), 0, Qt::AlignVCenter);
    return row;
}

QGroupBox* programmingGroup(QWidget* parent) {
    auto* group = creditGroup("gbProgramming", QStringLiteral(" Programming: "), parent);
    auto* layout = creditLayout<QHBoxLayout>(group);
    layout->addWidget(namedLabel("lblProgrammer", QStringLiteral("Mara Quill"), group));
    layout->addStretch();
    layout->addWidget(namedLabel("lblContact", QStringLiteral("mara.quill@example.org"), group));
    return group;
}

QGroupBox* graphicsGroup(QWidget* parent) {
    auto* group = creditGroup("gbGraphics", QStringLiteral(" Graphics: "), parent);
    auto* layout = creditLayout<QVBoxLayout>(group);
    layout->addWidget(
        namedLabel("lblGraphics", QStringLiteral("Tobin Ashgrove (icons and pictures)"), group));
    return group;
}

QGroupBox* thanksGroup(QWidget* parent) {
    auto* group = creditGroup("gbThanks", QStringLiteral(" Additional thanks to: "), parent);
    auto* layout = creditLayout<QVBoxLayout>(group);
    layout->addWidget(
        namedLabel("lblThanks1", QStringLiteral("Ilse Varga, for testing every page"), group));
    layout->addWidget(namedLabel(
        "lblThanks2", QStringLiteral("The Northfield team, for their config files"), group));
    return group;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("About..."));
    setFont(windowFont());

    auto* btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setFixedSize(scaled(QSize(75, 25)));
    // The default button for Enter; Escape reaches QDialog::reject, so it is also
    // the cancel button in effect.
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(kMargin), scaled(6), scaled(kMargin), scaled(kMargin));
    layout->setSpacing(scaled(4));
    layout->addWidget(titleRow(this));
    layout->addWidget(programmingGroup(this), 0, Qt::AlignHCenter);
    layout->addWidget(graphicsGroup(this), 0, Qt::AlignHCenter);
    layout->addWidget(thanksGroup(this), 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(btnClose, 0, Qt::AlignHCenter);

    resize(scaled(QSize(kOuterWidth, kOuterHeight)));
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fitOuterSize();
}

bool TfrmAbout::event(QEvent* event) {
    // The window manager makes the frame known some time after the box is shown,
    // with no event of its own; look again whenever the box moves or is drawn.
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Paint:
        if (windowHandle() && windowHandle()->frameMargins() != fitted_)
            QTimer::singleShot(0, this, &TfrmAbout::fitOuterSize);
        break;
    default:
        break;
    }
    return QDialog::event(event);
}

// The outer size counts the frame: the client area is what is left inside it.
// Centred over the owner's window when there is one, at the box's fixed place on
// the screen otherwise.
void TfrmAbout::fitOuterSize() {
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame == fitted_ && placed_) return;
    fitted_ = frame;
    const QSize outer = scaled(QSize(kOuterWidth, kOuterHeight));
    const QSize client(outer.width() - frame.left() - frame.right(),
                       outer.height() - frame.top() - frame.bottom());
    QRect target(QPoint(scaled(455), scaled(254)), outer);
    if (const QWidget* owner = parentWidget())
        target.moveCenter(owner->window()->frameGeometry().center());
    placed_ = true;
    setGeometry(QRect(target.topLeft() + QPoint(frame.left(), frame.top()), client));
}

void TfrmAbout::showModal(QWidget* owner) {
    QPointer<TfrmAbout> box = new TfrmAbout(owner);
    box->exec();
    delete box; // null when the owner went first
}

} // namespace qe
