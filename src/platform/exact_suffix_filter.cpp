#include "platform/exact_suffix_filter.h"

#include <QFileSystemModel>

namespace kestrune {

ExactSuffixFilter::ExactSuffixFilter(QStringList extensions, QObject* parent)
    : QSortFilterProxyModel(parent), extensions_(std::move(extensions)) {}

void ExactSuffixFilter::setExtensions(QStringList extensions) {
    extensions_ = std::move(extensions);
    invalidateFilter();
}

bool ExactSuffixFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) {
        return true;
    }
    const QModelIndex index = files->index(sourceRow, 0, sourceParent);
    const QFileInfo info = files->fileInfo(index);
    if (info.isDir() || extensions_.isEmpty()) {
        return true;
    }
    return extensions_.contains(info.suffix(), Qt::CaseSensitive);
}

} // namespace kestrune
