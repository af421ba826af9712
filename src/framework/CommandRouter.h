#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QObject>

#include "framework/CommandTarget.h"

class QWidget;

// One QAction per command id. Triggering an action sends its command along
// the route (see CommandTarget.h); UpdateAll enables each action whose
// command some target on the route handles and disables the others.
class CCommandRouter : public QObject {
    Q_OBJECT

public:
    // The actions are children of the owner and added to it, so their
    // shortcuts work anywhere in the owner's window.
    explicit CCommandRouter(QWidget* owner);

    // Creates the command's action (or returns the existing one). The prompt
    // is "status-bar text\ntooltip"; the menu text may carry "\t" followed
    // by the shortcut text shown in menus.
    QAction* Add(int id, const QString& text, const std::string& prompt, const QList<QKeySequence>& keys = {});
    QAction* Action(int id) const;
    std::vector<int> Ids() const;

    // The targets to ask, first first. Null entries are skipped.
    void SetRoute(std::function<std::vector<CCmdTarget*>()> route);

    CCmdTarget* FindHandler(int id) const;
    // Runs the command through the route; false when nobody handles it.
    bool Execute(int id);
    // Whether the command is enabled right now (computed, not cached).
    bool IsEnabled(int id) const;
    // Recomputes the enabled and ticked state of every action.
    void UpdateAll();

    // Splits a prompt into its status-bar text and tooltip.
    static std::string PromptStatusText(const std::string& prompt);
    static std::string PromptToolTip(const std::string& prompt);

private:
    CCmdUI StateOf(int id, bool* handled) const;

    QWidget* m_pOwner;
    std::map<int, QAction*> m_actions;
    std::function<std::vector<CCmdTarget*>()> m_route;
};
