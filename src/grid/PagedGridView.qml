// Not "pragma ComponentBehavior: Bound": on Qt 6.4 a Loader refuses to build a
// bound component, and the open folder's panel is loaded only while open.
import QtQuick
import Quorlin as Q

// The launcher grid: pages side by side that settle on whole pages however
// they are scrolled, the page dots, and the open folder's panel over both.
Item {
    id: root

    required property Q.PagedGrid grid
    property bool isEditMode: false

    // The grid's view state starts afresh each time the view comes on screen.
    Component.onCompleted: {
        grid.resetViewState();
        grid.announceLoaded();
    }

    // In edit mode every tile in view rocks, between 0 and 2 degrees, all
    // as one, and stops dead on leaving it.
    property real wiggle: 0

    SequentialAnimation {
        running: root.isEditMode
        loops: Animation.Infinite
        onRunningChanged: root.wiggle = 0

        NumberAnimation {
            target: root
            property: "wiggle"
            from: 0
            to: 2
            duration: 150
            easing.type: Easing.Bezier
            easing.bezierCurve: [0.42, 0, 0.58, 1, 1, 1]
        }
        NumberAnimation {
            target: root
            property: "wiggle"
            from: 2
            to: 0
            duration: 150
            easing.type: Easing.Bezier
            easing.bezierCurve: [0.42, 0, 0.58, 1, 1, 1]
        }
    }

    Binding {
        target: root.grid
        property: "isEditMode"
        value: root.isEditMode
    }

    Binding {
        target: root.grid
        property: "isShown"
        value: root.Window.window !== null && root.Window.window.visible
    }

    // Under the pages: a drag over no tile is here, at a side, over a dot or
    // in between, and the grid turns pages when it rests there. Drops here
    // are refused, as on empty space.
    DropArea {
        id: edges

        function report(drag) {
            const dot = dots.visible ? dots.dotAt(mapToItem(dots, drag.x, drag.y)) : -1;
            root.grid.dragHovered(drag.x, width, dot);
        }

        objectName: "dragEdges"
        anchors.fill: parent
        keys: ["text/plain"]
        onEntered: drag => report(drag)
        onPositionChanged: drag => report(drag)
        onExited: root.grid.dragLeft()
        onDropped: drop => {
            drop.accepted = false;
        }
    }

    ListView {
        id: pages

        objectName: "pages"
        anchors.fill: parent
        orientation: ListView.Horizontal
        snapMode: ListView.SnapOneItem
        highlightRangeMode: ListView.StrictlyEnforceRange
        highlightMoveDuration: 350
        highlightMoveVelocity: -1
        // The view's invisible highlight would otherwise grow to each new page
        // size at 400 px/s, a frame every 16 ms for seconds after every start.
        highlightResizeVelocity: -1
        highlightResizeDuration: 0
        boundsBehavior: Flickable.StopAtBounds
        flickableDirection: Flickable.HorizontalFlick
        // A page comes whole, never a few tiles at a time as the view's buffer
        // builds them, so none can be turned onto half built. The buffer only
        // keeps a dragged tile's page once turned away from.
        cacheBuffer: root.grid.dragReach * (width + 1)

        // Once the grid keeps neighbours, the pages either side of the one
        // shown are built ahead, whole, through the display margins, when the
        // screen has been still a moment: a turn then finds its page ready,
        // where building it would hold the turn back a frame. Never inside a
        // turn: while one runs, the margins keep what was built where it was
        // (the page left stays, the one beyond the new page waits), and the
        // next still moment moves them on.
        readonly property bool tileDragged: root.grid.draggedAppId !== ""
        readonly property bool keepsNeighbours: !tileDragged && root.grid.keepsNeighbours
        property real restX: 0
        property bool restKnown: false
        readonly property bool atRest: !moving && width > 0 && Math.abs(contentX - originX - currentIndex * width) < 0.5
        readonly property bool unsettled: keepsNeighbours && (!restKnown || Math.abs(contentX - restX) > 0.5)
        readonly property bool ahead: keepsNeighbours && restKnown
        // Which way the view is going from where the neighbours were built.
        readonly property int heading: {
            const target = originX + currentIndex * width;
            const away = (Math.abs(target - restX) > 0.5 ? target : contentX) - restX;
            return away > 0.5 ? 1 : away < -0.5 ? -1 : 0;
        }

        // A page that starts or ends exactly at an edge counts as visible:
        // hence one pixel short of a page, and -1 where none is wanted, as at
        // the end, where the next page would otherwise be built, icons and
        // all, in a start's first frame. A drag builds the next page from its
        // start. Between a first turn and the next still moment, the page just
        // left stays built for a turn back.
        displayMarginBeginning: tileDragged ? 0 : !root.grid.keepsNeighbours ? -1 : !ahead ? 0 : heading < 0 ? -1 : width - 1
        displayMarginEnd: tileDragged ? 0 : !ahead || heading > 0 ? -1 : width - 1

        // At once, before the grid changes under them: pages let go later
        // would first be rebound to the keystroke's results for nothing.
        onKeepsNeighboursChanged: {
            restKnown = false;
            if (!keepsNeighbours)
                forceLayout();
        }

        // Still: no frame for this long, with the view on a whole page.
        Timer {
            id: stillness

            interval: 50
            running: pages.unsettled
            onTriggered: {
                if (!pages.atRest)
                    return restart();
                pages.restX = pages.contentX;
                pages.restKnown = true;
            }
        }
        Connections {
            target: pages.Window.window
            enabled: pages.unsettled

            function onFrameSwapped() {
                stillness.restart();
            }
        }

        clip: true
        // A view with no width yet would take every page for visible and build
        // them all, with every icon: the pages wait for the window's size.
        model: width > 0 ? root.grid.pages : null
        currentIndex: root.grid.shownPage
        // Only the user's scrolling is written back: "no page chosen" stays so
        // while it is shown as the first page.
        onCurrentIndexChanged: {
            if (currentIndex >= 0 && currentIndex !== root.grid.shownPage)
                root.grid.currentPage = currentIndex;
        }

        // The page's "page" role fills the view's required page.
        delegate: Q.GridView {
            // A page built ahead is left out of drawing, and so out of each
            // frame of a turn, until it comes into view. Not under a drag,
            // which runs inside a tile that must stay as it is.
            visible: pages.tileDragged || (x + width > pages.contentX && x < pages.contentX + pages.width)
            width: pages.width
            height: pages.height
            grid: root.grid
            isEditMode: root.isEditMode
            wiggle: visible ? root.wiggle : 0
        }
    }

    // Wheel and touchpad turn whole pages; a plain Flickable would scroll by
    // pixels and leave the view between pages. Takes no clicks.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        onWheel: wheel => root.grid.scrollPages(wheel.angleDelta)
    }

    Q.PageDots {
        id: dots

        objectName: "pageDots"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 40 - margin
        visible: root.grid.pageCount >= 2
        count: root.grid.pageCount
        current: root.grid.shownPage
        // Thousands of applications make more dots than the screen is wide:
        // they shrink to fit rather than run off both edges.
        scale: Math.min(1, (root.width - 160) / Math.max(1, rowWidth))

        // What a screen reader finds of each dot; the dots themselves are painted.
        Row {
            x: dots.margin
            y: dots.margin
            spacing: dots.spacing

            Repeater {
                // The pages' own list, which grows and shrinks by rows: a count
                // would rebuild every dot whenever a keystroke changes it.
                model: dots.forScreenReaders ? root.grid.pages : null

                delegate: Item {
                    id: dot

                    required property int index

                    objectName: "pageDot"
                    width: dots.dotSize
                    height: dots.dotSize
                    Accessible.role: Accessible.Button
                    Accessible.name: qsTr("Page %1 of %2").arg(dot.index + 1).arg(root.grid.pageCount)
                    Accessible.selected: dot.index === root.grid.shownPage
                    Accessible.onPressAction: root.grid.currentPage = dot.index
                }
            }
        }

        MouseArea {
            anchors.fill: parent
            onClicked: mouse => {
                const dot = dots.dotAt(Qt.point(mouse.x, mouse.y));
                if (dot >= 0)
                    root.grid.currentPage = dot;
            }
        }
    }

    // The open folder's panel lies over the pages and the dots, and comes and
    // goes at once with the open folder. Its view is made from its file when a
    // folder opens rather than named here, which keeps Qt Quick Controls (the
    // title field, the picker, the menu) out of every start. A new panel gets
    // a new view: the old one and its bindings end with the loader's context
    // before the old panel goes.
    Loader {
        id: openFolderLayer

        property Q.FolderPanel panel: null

        objectName: "openFolderLayer"
        anchors.fill: parent
        active: false
        sourceComponent: Component {
            Item {
                id: holder

                Component.onCompleted: {
                    const view = Qt.createComponent("../folders/FolderContentView.qml").createObject(holder, {
                        "panel": openFolderLayer.panel
                    });
                    view.anchors.fill = holder;
                }
            }
        }

        function follow() {
            active = false;
            panel = root.grid.openFolderPanel;
            active = panel !== null;
        }

        Component.onCompleted: follow()

        Connections {
            target: root.grid

            function onOpenFolderChanged() {
                openFolderLayer.follow();
            }
        }
    }
}
