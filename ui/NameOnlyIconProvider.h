// The file dialogs' icons and type names, judged by the file name alone. Qt's own provider
// reads the start of every file a dialog lists to guess its type: on a slow network share that
// reads every file, and a file in /proc whose read never returns hangs the dialog for good.
// Folders keep the folder icon; nothing here ever opens a file.
#pragma once

#include <QAbstractFileIconProvider>
#include <QMimeDatabase>

class NameOnlyIconProvider : public QAbstractFileIconProvider {
public:
    using QAbstractFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

private:
    // The kind its name gives a file that is not a folder; plain data when the name says nothing.
    QMimeType KindByName(const QFileInfo& info) const;

    QMimeDatabase mimeDatabase_;
};
