// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_export.h"

#include "format/qt_text.h"

#include "core/story_state.h"
#include "format/atomic_write.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>

namespace vorta::ui {

namespace {

// Qt's own file dialog reads a name with a double quote in it as a list of quoted names, and
// would save "x \"y\".txt" as "y" in the folder shown. Such a name is refused before the dialog
// reads it, so the story goes nowhere but where the reader named. A desktop's native dialog
// takes every name as it is, and is left to do so.
class StorySaveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!name || !name->text().contains(QLatin1Char('"'))) {
            QFileDialog::accept();
            return;
        }
        if (m_refusal)
            return;
        m_refusal = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                    QStringLiteral("В имени файла не может быть кавычек (\"): "
                                                   "окно выбора файла читает их как список "
                                                   "файлов. Рассказ не сохранён; выберите другое "
                                                   "имя."),
                                    QMessageBox::Ok, this);
        m_refusal->setObjectName(QStringLiteral("nameRefused"));
        m_refusal->setTextFormat(Qt::PlainText);
        m_refusal->setAttribute(Qt::WA_DeleteOnClose);
        m_refusal->open();
    }

private:
    QPointer<QMessageBox> m_refusal;
};

} // namespace

QString storyText(const StoryState &state)
{
    QString text;
    for (qint32 entry = 1; entry < state.nextLine; ++entry) {
        text += toQString(storyLine(state, entry));
        text += QLatin1Char('\n');
    }
    return text;
}

QString storyFileName(const QDateTime &when)
{
    return QStringLiteral("рассказ-%1.txt").arg(when.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
}

void writeStoryFile(const QString &path, const StoryState &state)
{
    writeFileAtomically(path, path, storyText(state).toUtf8());
}

QString suggestedStoryPath(const QDateTime &when)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(storyFileName(when));
}

void askForSavePath(QWidget *parent, const QString &suggestedPath,
                    const std::function<void(const QString &)> &chosen)
{
    auto *dialog = new StorySaveDialog(parent, QStringLiteral("Сохранить рассказ"), suggestedPath,
                                       QStringLiteral("Текст (*.txt)"));
    dialog->setObjectName(QStringLiteral("saveStoryDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent, chosen);
    dialog->open();
}

} // namespace vorta::ui
