// The ID prompt: asks for an e-mail ID that satisfies the ID rule before a save.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qe {

class TfrmID : public QDialog {
    Q_OBJECT

public:
    // A prompt holding text; OK stays disabled while the text breaks the ID rule.
    TfrmID(QWidget* owner, const QString& text);

    // Creates a new prompt owned by owner, centred over it, and runs it modally.
    // The text in the field on OK (untrimmed), nullopt on Cancel or the close box.
    static std::optional<QString> ask(QWidget* owner, const QString& text);
    // The same for the core's byte texts (see fromBytes and toBytes).
    static std::optional<std::string> askBytes(QWidget* owner, const std::string& text);

protected:
    // Escape does not close the prompt: Cancel is not its cancel button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void txtID2Change();

    QLabel* lblID2;
    QLineEdit* txtID2;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

} // namespace qe
