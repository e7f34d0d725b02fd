import QtQuick
import QtQuick.Controls.Basic
import Quorlin

// An application tile's menu: its desktop actions first, then Hide, Delete and
// Show in the file manager. Its texts keep the grid page's translation context.
Menu {
    id: appMenu

    required property PagedGrid grid
    property string appId
    // The entries of the last application's desktop actions, put first.
    property var actionEntries: []

    // At the pointer, or over the tile `at` when the keyboard asked.
    function openFor(id, at) {
        appId = id;
        for (const entry of actionEntries)
            removeItem(entry);
        const actions = grid.actionsOf(id);
        const entries = actions.map(action => actionEntry.createObject(null, {
            "text": action.name,
            "actionId": action.id,
            "iconSource": action.icon
        }));
        if (entries.length > 0)
            entries.push(actionSeparator.createObject(null));
        entries.forEach((entry, index) => insertItem(index, entry));
        actionEntries = entries;
        if (at)
            popup(at, at.width / 2, at.height / 2);
        else
            popup();
    }

    objectName: "appMenu"

    // Controls name themselves for screen readers only when one already runs
    // as their text is set; the launcher starts at login, often before one
    // does, so the entries carry their names explicitly.

    MenuItem {
        text: qsTranslate("GridView", "Hide App")
        Accessible.name: text
        onTriggered: appMenu.grid.hide(appMenu.appId)
    }
    MenuItem {
        text: qsTranslate("GridView", "Delete App")
        Accessible.name: text
        palette.windowText: "#ff3b30"
        onTriggered: appMenu.grid.requestDelete(appMenu.appId)
    }
    MenuSeparator {}
    MenuItem {
        text: appMenu.grid.revealLabel
        Accessible.name: text
        onTriggered: appMenu.grid.reveal(appMenu.appId)
    }

    Component {
        id: actionEntry

        MenuItem {
            property string actionId
            property string iconSource

            icon.source: iconSource
            icon.width: 16
            icon.height: 16
            // The action's own colours, not the text's.
            icon.color: "transparent"
            Accessible.name: text
            onTriggered: appMenu.grid.launchAction(appMenu.appId, actionId)
        }
    }

    Component {
        id: actionSeparator

        MenuSeparator {}
    }
}
