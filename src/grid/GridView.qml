// Not "pragma ComponentBehavior: Bound": on Qt 6.4 a Loader refuses to build a
// bound component, and each cell loads either an application or a folder tile.
import QtQuick
import Quorlin

// One page of the grid: its cells in equal columns, centred vertically. Here
// the user launches with a click, opens an application's menu, drags an
// application and drops it on another application or on a folder. What any
// of it means is decided by the PagedGrid; this page only reports gestures.
Item {
    id: root

    required property PagedGrid grid
    required property GridPageModel page
    property bool isEditMode: false

    readonly property int columns: grid.columns
    // A screen too small for a full page at its natural size (a laptop at 150 %,
    // say) shows every page smaller as a whole, rather than cutting its top row
    // under the header or its last under the page dots. Every page takes the
    // full page's size, so tiles keep one size from page to page; 55 is kept
    // clear below for the dots and, to stay centred, above.
    readonly property real fit: Math.min(1, (width - 2 * 80) / (columns * 120 + (columns - 1) * 20),
                                         (height - 2 * 55) / (grid.rows * 120 + (grid.rows - 1) * 30))
    // Flexible columns of at least 10, 20 apart, inside 80 on either side (before the fit).
    readonly property real columnWidth: Math.max(10, ((width - 2 * 80) / fit - (columns - 1) * 20) / columns)

    objectName: "gridPage"

    // The rocking of the tiles in edit mode, in degrees; the pages' view drives it.
    property real wiggle: 0

    // The keyboard's focus ring, under the tiles so its icon keeps its colours,
    // and the ring around an application a drag rests on, over them. One of
    // each per page, moved to its cell: the software renderer keeps a node and
    // a picture of the corners for every rounded rectangle, shown or not.
    property Item focusedCell: null
    property Item dropTargetCell: null

    function place(cell) {
        if (cell.isFocused)
            focusedCell = cell;
        else if (focusedCell === cell)
            focusedCell = null;
        if (cell.isDropTarget && cell.kind === "app")
            dropTargetCell = cell;
        else if (dropTargetCell === cell)
            dropTargetCell = null;
    }

    component CellRing: Rectangle {
        required property Item cells
        property Item cell

        x: cells.x + (cell ? cell.x + (cell.width - width) / 2 : 0) * cells.scale
        y: cells.y + (cell ? cell.y : 0) * cells.scale
        width: 120
        height: cell ? cell.height : 0
        transformOrigin: Item.TopLeft
        scale: cells.scale
        radius: 20
        visible: cell !== null
    }

    CellRing {
        objectName: "focusRing"
        cells: cells
        cell: root.focusedCell
        color: Qt.rgba(1, 1, 1, 0.12)
        border.color: "white"
        border.width: 2
    }

    Grid {
        id: cells

        // Rows start at the left margin however few cells they hold.
        x: 80
        y: (root.height - height * scale) / 2
        transformOrigin: Item.TopLeft
        scale: root.fit
        columns: root.columns
        columnSpacing: 20
        rowSpacing: 30
        horizontalItemAlignment: Grid.AlignHCenter
        verticalItemAlignment: Grid.AlignVCenter

        Repeater {
            id: cellRepeater

            model: root.page

            delegate: Item {
                id: cell

                required property string kind
                required property string cellId
                required property string appId
                required property string name
                required property string bundleIdentifier
                required property string iconSource
                required property string folderName
                required property var previewIcons
                required property bool isDragged
                required property bool isDropTarget

                readonly property Item tileItem: tileLoader.item

                objectName: kind === "app" ? "appCell" : "folderCell"
                width: root.columnWidth
                height: kind === "app" ? 110 : 120

                // Tells the page's rings where they belong.
                readonly property bool isFocused: cellId === root.grid.focusedCellId
                onIsFocusedChanged: root.place(cell)
                onIsDropTargetChanged: root.place(cell)
                Component.onCompleted: root.place(cell)

                Loader {
                    id: tileLoader

                    anchors.centerIn: parent
                    sourceComponent: cell.kind === "app" ? appCell : folderCell
                }


                // Drops are settled by the grid; the area only reports the drag's
                // way in, across and out, and shows the answer as the drop action.
                DropArea {
                    id: dropArea

                    function answer(drag, action) {
                        if (action === Qt.IgnoreAction)
                            drag.accepted = false;
                        else
                            drag.accept(action);
                    }

                    anchors.centerIn: parent
                    width: 120
                    height: cell.height
                    keys: ["text/plain"]
                    onEntered: drag => {
                        if (!root.grid.dropEntered(cell.cellId)) {
                            drag.accepted = false;
                            return;
                        }
                        answer(drag, root.grid.dropUpdated(cell.cellId));
                    }
                    onPositionChanged: drag => answer(drag, root.grid.dropUpdated(cell.cellId))
                    onExited: root.grid.dropExited(cell.cellId)
                    onDropped: drop => {
                        const action = root.grid.dropUpdated(cell.cellId);
                        if (root.grid.dropPerformed(cell.cellId))
                            drop.accept(action === Qt.IgnoreAction ? Qt.MoveAction : action);
                        else
                            drop.accepted = false;
                    }
                }

                Component {
                    id: appCell

                    Item {
                        id: appItem

                        width: 120
                        height: 110
                        // A screen reader reads "Firefox, button" and presses it to launch.
                        Accessible.role: Accessible.Button
                        Accessible.name: cell.name
                        Accessible.onPressAction: root.grid.launch(cell.appId)

                        Drag.dragType: Drag.Automatic
                        Drag.supportedActions: Qt.MoveAction | Qt.CopyAction
                        Drag.onDragFinished: root.grid.endDrag()

                        MouseArea {
                            id: mouse

                            property point pressPoint
                            property bool dragging: false

                            anchors.fill: parent
                            acceptedButtons: Qt.LeftButton | Qt.RightButton
                            // A drag that starts on a tile moves the tile; the
                            // pages scroll under drags that start between tiles.
                            preventStealing: true
                            onPressed: mouseEvent => {
                                pressPoint = Qt.point(mouseEvent.x, mouseEvent.y);
                                dragging = false;
                                if (mouseEvent.button === Qt.LeftButton) {
                                    tile.grabToImage(result => {
                                        appItem.Drag.imageSource = result.url;
                                    });
                                }
                            }
                            onPositionChanged: mouseEvent => {
                                if (dragging || !(mouseEvent.buttons & Qt.LeftButton))
                                    return;
                                const dx = mouseEvent.x - pressPoint.x;
                                const dy = mouseEvent.y - pressPoint.y;
                                if (Math.hypot(dx, dy) < Qt.styleHints.startDragDistance)
                                    return;
                                dragging = true;
                                appItem.Drag.hotSpot = Qt.point(pressPoint.x - tile.x, pressPoint.y - tile.y);
                                root.grid.beginDrag(cell.appId);
                                // Offered to other programs as plain text: the bundle
                                // identifier, with the display name as the file name a
                                // file manager suggests for it. Made when a drag starts,
                                // not on every tile each time a keystroke rebinds it.
                                appItem.Drag.mimeData = {
                                    "text/plain": cell.bundleIdentifier,
                                    "application/x-kde-suggestedfilename": cell.name
                                };
                                // Runs the system drag to its end before returning.
                                appItem.Drag.active = true;
                                appItem.Drag.active = false;
                            }
                            onClicked: mouseEvent => {
                                if (dragging)
                                    return;
                                if (mouseEvent.button === Qt.RightButton)
                                    root.openMenu(cell.appId);
                                else
                                    root.grid.launch(cell.appId);
                            }
                        }

                        AppIconView {
                            id: tile

                            anchors.fill: parent
                            name: cell.name
                            iconSource: cell.iconSource
                            isEditMode: root.isEditMode
                            wiggleOffset: root.wiggle
                            hasDeleteAction: root.isEditMode
                            opacity: cell.isDragged ? 0.5 : 1
                            onDeleteClicked: root.grid.requestDelete(cell.appId)
                        }
                    }
                }

                Component {
                    id: folderCell

                    FolderIconView {
                        folderName: cell.folderName
                        previewIcons: cell.previewIcons
                        isDropTarget: cell.isDropTarget
                        onOpen: root.grid.openFolder(cell.cellId)
                        onRename: root.grid.renameFolder(cell.cellId)
                        onDeleteFolder: root.grid.deleteFolder(cell.cellId)
                    }
                }
            }
        }
    }

    CellRing {
        objectName: "dropRing"
        cells: cells
        cell: root.dropTargetCell
        color: "transparent"
        border.color: Qt.rgba(1, 1, 1, 0.5)
        border.width: 3
    }

    // The applications' menu, made the first time it opens and from a file of
    // its own: every page built would otherwise make its entries too. Loaded
    // by its address, it leaves this page free of Qt Quick Controls.
    property QtObject menu: null

    function openMenu(id, at) {
        if (!menu)
            menu = Qt.createComponent("AppMenu.qml").createObject(root, {
                "grid": root.grid
            });
        menu.openFor(id, at);
    }

    // The Menu key over the tile under the keyboard's ring, an application's or a folder's.
    Connections {
        target: root.grid

        function onMenuRequested(cellId) {
            for (let i = 0; i < cellRepeater.count; ++i) {
                const cell = cellRepeater.itemAt(i);
                if (!cell || cell.cellId !== cellId)
                    continue;
                const tile = cell.tileItem;
                if (cell.kind === "app")
                    root.openMenu(cell.appId, cell);
                else if (tile)
                    tile.openMenu(tile.width / 2, tile.height / 2);
            }
        }
    }
}
