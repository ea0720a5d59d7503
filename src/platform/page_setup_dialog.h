#pragma once
// Page Setup: the paper, how it is turned, its margins in millimetres and
// the scale of the printed table in percent. It needs no printer, so it
// serves printing to a PDF file as well as any printer.

#include "ports/print_job.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace kestrune {

class PageSetupDialog final : public QDialog {
    Q_OBJECT
public:
    PageSetupDialog(const PageFormat& current, QWidget* parent);

    // What the dialog shows now.
    PageFormat chosen() const;

private:
    QComboBox* paper_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QDoubleSpinBox* top_;
    QDoubleSpinBox* left_;
    QDoubleSpinBox* right_;
    QDoubleSpinBox* bottom_;
    QSpinBox* scale_;
};

// Shows the dialog window-modal on window, starting from current; done
// hears whether OK ended it and what it then showed.
void ShowPageSetupDialog(QWidget* window, const PageFormat& current,
                         std::function<void(bool accepted, const PageFormat& chosen)> done);

} // namespace kestrune
