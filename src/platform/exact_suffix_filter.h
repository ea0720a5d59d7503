#pragma once
// Shows folders, and files whose extension is exactly one of a list: "kedata"
// lists "Sheet.kedata" but neither "Sheet.KEDATA" nor "Sheet.kedata.bak".
// Without extensions it lists every file.

#include <QSortFilterProxyModel>
#include <QStringList>

namespace kestrune {

class ExactSuffixFilter final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ExactSuffixFilter(QStringList extensions, QObject* parent = nullptr);
    // An empty list shows every file.
    void setExtensions(QStringList extensions);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QStringList extensions_;
};

} // namespace kestrune
