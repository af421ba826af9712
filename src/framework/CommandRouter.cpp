#include "framework/CommandRouter.h"

#include <QPointer>
#include <QWidget>

#include "base/QtText.h"

CCommandRouter::CCommandRouter(QWidget* owner) : QObject(owner), m_pOwner(owner) {}

std::string CCommandRouter::PromptStatusText(const std::string& prompt)
{
    return prompt.substr(0, prompt.find('\n'));
}

std::string CCommandRouter::PromptToolTip(const std::string& prompt)
{
    std::size_t newline = prompt.find('\n');
    return newline == std::string::npos ? std::string() : prompt.substr(newline + 1);
}

QAction* CCommandRouter::Add(int id, const QString& text, const std::string& prompt, const QList<QKeySequence>& keys)
{
    if (QAction* existing = Action(id))
        return existing;
    auto* action = new QAction(text, m_pOwner);
    action->setData(id);
    QString status = ToQString(PromptStatusText(prompt));
    QString tip = ToQString(PromptToolTip(prompt));
    action->setStatusTip(status);
    action->setWhatsThis(status);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    if (!keys.isEmpty())
        action->setShortcuts(keys);
    m_pOwner->addAction(action);
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    m_actions.emplace(id, action);
    return action;
}

QAction* CCommandRouter::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

std::vector<int> CCommandRouter::Ids() const
{
    std::vector<int> ids;
    for (const auto& entry : m_actions)
        ids.push_back(entry.first);
    return ids;
}

void CCommandRouter::SetRoute(std::function<std::vector<CCmdTarget*>()> route)
{
    m_route = std::move(route);
}

CCmdTarget* CCommandRouter::FindHandler(int id) const
{
    if (!m_route)
        return nullptr;
    for (CCmdTarget* target : m_route()) {
        if (target && target->HandlesCommand(id))
            return target;
    }
    return nullptr;
}

CCmdUI CCommandRouter::StateOf(int id, bool* handled) const
{
    CCmdUI ui;
    CCmdTarget* handler = FindHandler(id);
    *handled = handler != nullptr;
    if (handler)
        handler->OnUpdateCommand(id, ui);
    else
        ui.enabled = false;
    return ui;
}

bool CCommandRouter::IsEnabled(int id) const
{
    bool handled = false;
    return StateOf(id, &handled).enabled;
}

bool CCommandRouter::Execute(int id)
{
    CCmdTarget* handler = FindHandler(id);
    if (!handler)
        return false;
    CCmdUI ui;
    handler->OnUpdateCommand(id, ui);
    if (!ui.enabled)
        return false;
    QPointer<CCommandRouter> self(this);
    handler->OnCommand(id);
    // The command may have closed windows or opened new ones.
    if (self)
        UpdateAll();
    return true;
}

void CCommandRouter::UpdateAll()
{
    for (const auto& [id, action] : m_actions) {
        bool handled = false;
        CCmdUI ui = StateOf(id, &handled);
        action->setEnabled(ui.enabled);
        if (action->isCheckable())
            action->setChecked(ui.checked);
    }
}
