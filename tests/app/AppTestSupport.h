// Shared pieces of the window tests: standard dialogs answered from a script, and a script of
// actions on modal dialogs, each run when its dialog is shown.
#pragma once

#include "app/StandardDialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <set>

namespace velmora::test {

class ScriptedDialogs : public StandardDialogs {
public:
    QStringList errors;
    QStringList notes;
    QStringList questions;
    QStringList filters;
    std::deque<QString> openNames; // answers of the open dialog; empty when cancelled
    std::deque<QString> saveNames;
    std::deque<QMessageBox::StandardButton> answers;
    QStringList presetNames; // the names the file dialogs started with
    bool printAccepted = true;

    void Error(QWidget*, const QString& text) override { errors << text; }
    void Information(QWidget*, const QString& caption, const QString& text) override
    {
        notes << caption + QStringLiteral(": ") + text;
    }
    void Warning(QWidget*, const QString& caption, const QString& text) override
    {
        notes << caption + QStringLiteral(": ") + text;
    }
    QMessageBox::StandardButton Question(QWidget*, const QString&, const QString& text,
                                         QMessageBox::StandardButtons) override
    {
        questions << text;
        return Take(answers, QMessageBox::Cancel);
    }
    QString OpenFileName(QWidget*, const QString&, const QString& fileName, const QString& filter) override
    {
        presetNames << fileName;
        filters << filter;
        return Take(openNames, QString());
    }
    QString SaveFileName(QWidget*, const QString&, const QString& fileName, const QString& filter) override
    {
        presetNames << fileName;
        filters << filter;
        return Take(saveNames, QString());
    }
    bool Print(QWidget*, QPrinter&) override { return printAccepted; }
    bool PrinterSetup(QWidget*, QPrinter&) override { return true; }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return std::nullopt; }

private:
    template <class T>
    static T Take(std::deque<T>& queue, T otherwise)
    {
        if (queue.empty())
            return otherwise;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

// Each showing of a watched dialog runs the next action, which must be meant for that dialog.
// A dialog shown out of turn is recorded and closed, so that a failing test ends instead of
// waiting for a person.
class ModalScript : public QObject {
public:
    void Expect(QWidget* dialog, std::function<void()> action)
    {
        if (watched_.insert(dialog).second)
            dialog->installEventFilter(this);
        steps_.push_back({dialog, std::move(action)});
    }
    bool Done() const { return steps_.empty(); }
    QStringList unexpected;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* dialog = static_cast<QWidget*>(watched);
        if (steps_.empty() || steps_.front().dialog != dialog) {
            unexpected << dialog->objectName();
            QPointer<QWidget> guard(dialog);
            QTimer::singleShot(0, dialog, [guard] {
                if (auto* d = qobject_cast<QDialog*>(guard.data()))
                    d->reject();
            });
            return false;
        }
        std::function<void()> action = std::move(steps_.front().action);
        steps_.pop_front();
        QTimer::singleShot(0, dialog, std::move(action));
        return false;
    }

private:
    struct Step {
        QWidget* dialog;
        std::function<void()> action;
    };
    std::deque<Step> steps_;
    std::set<QObject*> watched_;
};

} // namespace velmora::test
