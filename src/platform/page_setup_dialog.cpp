#include "platform/page_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace kestrune {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kMostMarginMm = 50.0;
constexpr int kLeastScale = 10;
constexpr int kMostScale = 400;

struct Paper {
    QPageSize::PageSizeId id;
    const char* label;
};

constexpr Paper kPapers[] = {
    {QPageSize::A4, "A4 (210 \u00d7 297 mm)"},
    {QPageSize::Letter, "US Letter (8.5 \u00d7 11 in)"},
    {QPageSize::Legal, "US Legal (8.5 \u00d7 14 in)"},
    {QPageSize::A3, "A3 (297 \u00d7 420 mm)"},
    {QPageSize::A5, "A5 (148 \u00d7 210 mm)"},
};

// Papers within a point of each other are the same paper.
bool samePaper(QSizeF a, QSizeF b) {
    return std::abs(a.width() - b.width()) < 1.0 && std::abs(a.height() - b.height()) < 1.0;
}

// A margin's points as they came, kept on its box: shown to a tenth of a
// millimetre, an untouched margin goes back unchanged.
constexpr const char* kPointsProperty = "marginPoints";
constexpr const char* kShownProperty = "marginShown";

QDoubleSpinBox* marginBox(double points) {
    auto* box = new QDoubleSpinBox;
    box->setRange(0.0, kMostMarginMm);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(points / kPointsPerMm);
    box->setProperty(kPointsProperty, points);
    box->setProperty(kShownProperty, box->value());
    return box;
}

double pointsOf(const QDoubleSpinBox* box) {
    if (box->value() == box->property(kShownProperty).toDouble()) {
        return box->property(kPointsProperty).toDouble();
    }
    return box->value() * kPointsPerMm;
}

} // namespace

PageSetupDialog::PageSetupDialog(const PageFormat& current, QWidget* parent)
    : QDialog(parent), paper_(new QComboBox), portrait_(new QRadioButton(tr("&Portrait"))),
      landscape_(new QRadioButton(tr("&Landscape"))), top_(marginBox(current.margins.top)),
      left_(marginBox(current.margins.left)), right_(marginBox(current.margins.right)),
      bottom_(marginBox(current.margins.bottom)), scale_(new QSpinBox) {
    setWindowTitle(tr("Page Setup"));

    const QSizeF currentPaper(current.paperWidth, current.paperHeight);
    for (const Paper& paper : kPapers) {
        const QSizeF size = QPageSize(paper.id).sizePoints();
        paper_->addItem(QString::fromUtf8(paper.label), size);
        if (samePaper(size, currentPaper)) {
            paper_->setCurrentIndex(paper_->count() - 1);
        }
    }
    if (!samePaper(paper_->currentData().toSizeF(), currentPaper)) {
        // A paper chosen in the Print dialog that the list does not offer.
        const QPageSize other(currentPaper, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
        paper_->addItem(other.name(), currentPaper);
        paper_->setCurrentIndex(paper_->count() - 1);
    }

    (current.landscape ? landscape_ : portrait_)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    orientation->addStretch();

    auto* margins = new QGridLayout;
    const auto addMargin = [margins](const QString& label, QDoubleSpinBox* box, int row,
                                     int column) {
        auto* name = new QLabel(label);
        name->setBuddy(box);
        margins->addWidget(name, row, column);
        margins->addWidget(box, row, column + 1);
    };
    addMargin(tr("&Top:"), top_, 0, 0);
    addMargin(tr("&Bottom:"), bottom_, 0, 2);
    addMargin(tr("L&eft:"), left_, 1, 0);
    addMargin(tr("&Right:"), right_, 1, 2);

    scale_->setRange(kLeastScale, kMostScale);
    scale_->setSuffix(QStringLiteral(" %"));
    scale_->setValue(static_cast<int>(std::lround(current.scale)));

    auto* form = new QFormLayout;
    form->addRow(tr("Paper &size:"), paper_);
    form->addRow(tr("Orientation:"), orientation);
    form->addRow(tr("Margins:"), margins);
    form->addRow(tr("S&cale:"), scale_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    paper_->setFocus();
}

PageFormat PageSetupDialog::chosen() const {
    const QSizeF paper = paper_->currentData().toSizeF();
    PageFormat format;
    format.paperWidth = paper.width();
    format.paperHeight = paper.height();
    format.landscape = landscape_->isChecked();
    format.margins = {pointsOf(left_), pointsOf(top_), pointsOf(right_), pointsOf(bottom_)};
    format.scale = scale_->value();
    return format;
}

void ShowPageSetupDialog(QWidget* window, const PageFormat& current,
                         std::function<void(bool accepted, const PageFormat& chosen)> done) {
    auto* dialog = new PageSetupDialog(current, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, done = std::move(done)](int result) {
                         done(result == QDialog::Accepted, dialog->chosen());
                     });
    dialog->open();
}

} // namespace kestrune
