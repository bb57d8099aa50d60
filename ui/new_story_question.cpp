// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "new_story_question.h"

#include <QMessageBox>
#include <QPushButton>

namespace vorta::ui {

QMessageBox *askForNewStory(const QString &title,
                            const std::function<void(bool startNew)> &answered)
{
    auto *question = new QMessageBox(
        QMessageBox::Question, title,
        QStringLiteral("Начать новый рассказ? Тот, что идёт сейчас, будет потерян."),
        QMessageBox::NoButton);
    question->setObjectName(QStringLiteral("newStoryQuestion"));
    question->setTextFormat(Qt::PlainText);
    QPushButton *start =
        question->addButton(QStringLiteral("Начать новый"), QMessageBox::AcceptRole);
    QPushButton *keep =
        question->addButton(QStringLiteral("Продолжить этот"), QMessageBox::RejectRole);
    question->setDefaultButton(start);
    question->setEscapeButton(keep);
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setWindowModality(Qt::ApplicationModal);
    QObject::connect(question, &QMessageBox::finished, question,
                     [question, start, answered] { answered(question->clickedButton() == start); });
    question->show();
    return question;
}

} // namespace vorta::ui
