#include "app/WindowUi.h"

#include "app/ConsoleDialog.h"
#include "app/MessageWindows.h"
#include "app/SelectionDialogs.h"
#include "app/StandardDialogs.h"
#include "app/TextCodec.h"

#include <QApplication>
#include <QLabel>

namespace velmora {

WindowUi::WindowUi(const Windows& windows, StandardDialogs& dialogs) : windows_(windows), dialogs_(dialogs) {}

bool WindowUi::SelectFiles(CommandContext& ctx, const std::string& caption)
{
    caption_ = TextFromBytes(caption);
    return windows_.files->Select(ctx, caption_);
}

bool WindowUi::SelectZone(CommandContext& ctx)
{
    return windows_.zone->Select(ctx);
}

QWidget* WindowUi::MessageParent() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : windows_.frame;
}

void WindowUi::ShowMessage(const std::string& text)
{
    dialogs_.Error(MessageParent(), TextFromBytes(text));
}

void WindowUi::ShowInformation(const std::string& text)
{
    windows_.information->ShowModal(TextFromBytes(text));
}

void WindowUi::ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon)
{
    if (icon == MessageIcon::Warning)
        dialogs_.Warning(MessageParent(), TextFromBytes(caption), TextFromBytes(text));
    else
        dialogs_.Information(MessageParent(), TextFromBytes(caption), TextFromBytes(text));
}

std::optional<std::filesystem::path> WindowUi::OpenFile(const QString& filter) const
{
    const QString chosen = dialogs_.OpenFileName(windows_.frame, QString(), QString(), filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return std::filesystem::path(chosen.toStdU16String());
}

std::optional<std::filesystem::path> WindowUi::SelectSourceFile()
{
    std::optional<std::filesystem::path> chosen = OpenFile(QStringLiteral("File sourse|*.txt"));
    if (chosen)
        caption_ = QStringLiteral("Progresul procedurii de calcul grid");
    return chosen;
}

std::optional<std::filesystem::path> WindowUi::SelectGridFile()
{
    return OpenFile(QStringLiteral("Fisier grid|*.grd"));
}

void WindowUi::ShowWaitLabel(bool visible)
{
    windows_.waitLabel->setVisible(visible);
}

ErrorConsole& WindowUi::OpenConsole()
{
    windows_.console->Clear();
    return *windows_.console;
}

void WindowUi::CloseConsole()
{
    windows_.console->Clear();
}

void WindowUi::Progress(std::uint64_t done, std::uint64_t total)
{
    windows_.progress->ShowProgress(caption_, done, total);
}

void WindowUi::EndProgress()
{
    windows_.progress->Finish();
}

} // namespace velmora
