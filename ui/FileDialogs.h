// The three file dialogs, set up as the window wants them. They are always Qt's own dialogs,
// never the desktop's: only those take the name-only icon provider (so listing a folder never
// reads a file) and let the folder dialog go without its edit box and new-folder button.
#pragma once

#include <QFileDialog>

#include <memory>

// "请选择需要校验的文件": several existing files, every name shown.
std::unique_ptr<QFileDialog> NewOpenDialog(QWidget* parent);
// "结果另存为" with "文本文件 (*.txt)" first and chosen, then the further filters, proposing the
// given name; no suffix added, no question before an existing file is replaced.
std::unique_ptr<QFileDialog> NewSaveDialog(QWidget* parent, const QString& proposed,
                                           const QStringList& furtherFilters = {});
// "请选择校验文件": one existing sum file, with the given filters.
std::unique_ptr<QFileDialog> NewSumFileDialog(QWidget* parent, const QStringList& filters);
// "请选择文件夹。": one folder, files not shown, no edit box, no way to make a folder; the keyboard
// works in the folder list from the first key.
std::unique_ptr<QFileDialog> NewFolderDialog(QWidget* parent);
