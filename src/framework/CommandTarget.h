#pragma once

// Command routing. Every command is a number (see CommandIds.h and
// res/Resource.h). A command travels along the route active view, its
// document, its child frame, the main frame, the application; the first
// target that handles it runs it. A command that no target on the route
// handles is shown disabled.

// What the handler of a command says about its menu item or button.
struct CCmdUI {
    bool enabled = true;
    bool checked = false;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // True when this object runs the command (whether or not it is enabled
    // at the moment: see OnUpdateCommand).
    virtual bool HandlesCommand(int id) const
    {
        (void)id;
        return false;
    }

    // Called on the handler of a command before its menu item or button is
    // shown; may disable or tick it. The state starts enabled and unticked.
    virtual void OnUpdateCommand(int id, CCmdUI& ui)
    {
        (void)id;
        (void)ui;
    }

    // Runs the command. Called only when HandlesCommand(id) is true.
    virtual void OnCommand(int id) { (void)id; }
};
