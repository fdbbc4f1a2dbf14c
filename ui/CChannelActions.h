#pragma once
// The channel list's context menu (right click, Menu key, Shift+F10) and what its
// items do to the selected cards: save, compare and restore EEPROM images, save all
// of them, verify the selected cards, show a card's history. Each item asks for its
// file or folder, then runs the core's action for it, shared with the command line,
// recorded in the card history; the questions the action asks are answered here.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "IOperatorConfirm.h"
#include "WindowContext.h"

class CChannelView;
class CWindowRun;
class QMenu;
class QString;
struct CardActionFront;
struct ActionResult;

class CChannelActions final : public QObject, public IOperatorConfirm {
    Q_OBJECT
public:
    // Acts on `view`'s selected rows, with `context`'s connection and table, each item
    // run through the command gate like a menu command.
    CChannelActions(const WindowContext& context, CChannelView& view);

    QMenu* Menu() const { return m_menu; }
    // Opens the menu below the current row.
    void PopupAtCurrentRow();

    void OnSaveImage();
    void OnCompareImage();
    void OnRestoreImage();
    void OnSaveAllImages();
    void OnVerify();
    // The Card History dialog of the one selected card.
    void OnCardHistory();

    // What the operator is asked; each left empty is the standard dialog.
    struct Prompts {
        std::function<bool(const std::string& suggested, std::string& path)> saveFile;
        std::function<bool(std::string& path)> openFile;
        std::function<bool(std::string& folder)> folder;
        // A question over refusals that yield (the reasons and the question, one text): true to go on.
        std::function<bool(const std::string& why)> confirm;
        std::function<void(const std::string& differences)> showDifferences;
    };
    void SetPrompts(Prompts prompts) { m_prompts = std::move(prompts); }

    bool Confirm(ConfirmQuestion question, const std::vector<std::string>& reasons) override;
    // What a card action of `run` works with: this window's connection, table, rows,
    // messages and questions, and the run's observer and history.
    CardActionFront Front(CWindowRun& run);

private:
    void Build();
    // The file to compare with or restore; false when the operator cancelled.
    bool PromptImageFile(const QString& title, std::string& path);
    // The message pane keeps what the action did until the next command.
    void Finish(const ActionResult& result);

    WindowContext m_context;
    CChannelView& m_view;
    QMenu* m_menu = nullptr;
    Prompts m_prompts;
};
