import QtQuick
import QtQuick.Controls.Basic

// A folder tile's menu. Its texts keep the tile's translation context.
Menu {
    required property Item folder

    MenuItem {
        text: qsTranslate("FolderIconView", "Rename Folder")
        Accessible.name: text
        onTriggered: folder.rename()
    }

    MenuItem {
        text: qsTranslate("FolderIconView", "Delete Folder")
        Accessible.name: text
        palette.windowText: "#ff3b30"
        onTriggered: folder.deleteFolder()
    }
}
