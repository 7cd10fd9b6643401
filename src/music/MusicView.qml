import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

// The music tab: a search bar, three segments (tracks, albums, playlists) and the sheets that
// upload a track, add one to a playlist and create a playlist. It loads nothing itself: its
// model fetches the track list once, when it is made.
Item {
    id: root

    // The tab screen hands down the model it made at launch; a screen made alone makes its own.
    property MusicViewModel viewModel: ownModel.createObject(root)
    readonly property alias playlistDraft: draft
    readonly property alias trackSearch: searchModel
    property int selectedSegment: 0
    property alias searchText: searchBar.text
    // The track whose add-to-playlist sheet is open; null while none is.
    property var selectedTrackForPlaylist: null

    Component {
        id: ownModel
        MusicViewModel {}
    }

    // The create-playlist form's values: the screen's, so that they outlive its sheet.
    PlaylistDraft {
        id: draft
    }

    TrackSearchModel {
        id: searchModel
        sourceModel: root.viewModel.tracks
        searchText: root.searchText
    }

    NavigationStack {
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Музыка")
            readonly property bool largeTitle: true
            color: Theme.groupedBackground

            ColumnLayout {
                anchors.fill: parent
                spacing: 0

                MusicSearchBar {
                    id: searchBar
                    Layout.fillWidth: true
                }

                MusicSegmentPicker {
                    objectName: "segmentPicker"
                    Layout.fillWidth: true
                    segments: [qsTr("Все треки"), qsTr("Альбомы"), qsTr("Плейлисты")]
                    selected: root.selectedSegment
                    onSelectedChanged: root.selectedSegment = selected
                }

                StackLayout {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    currentIndex: root.selectedSegment

                    TrackListSegment {
                        viewModel: root.viewModel
                        searchModel: searchModel
                        onUploadRequested: uploadSheet.open()
                        onAddToPlaylistRequested: track => {
                            root.selectedTrackForPlaylist = track
                            addToPlaylistSheet.open()
                        }
                    }
                    AlbumListSegment {
                        viewModel: root.viewModel
                    }
                    PlaylistSegment {
                        viewModel: root.viewModel
                        onCreateRequested: createPlaylistSheet.open()
                    }
                }
            }
        }
    }

    Sheet {
        id: uploadSheet
        objectName: "uploadSheet"
        content: UploadTrackView {
            objectName: "uploadTrackView"
            viewModel: root.viewModel
            onDismissRequested: uploadSheet.close()
        }
    }

    Sheet {
        id: addToPlaylistSheet
        objectName: "addToPlaylistSheet"
        onClosed: root.selectedTrackForPlaylist = null
        content: AddToPlaylistModalView {
            objectName: "addToPlaylistView"
            track: root.selectedTrackForPlaylist
            viewModel: root.viewModel
            onDismissRequested: addToPlaylistSheet.close()
        }
    }

    Sheet {
        id: createPlaylistSheet
        objectName: "createPlaylistSheet"
        content: CreatePlaylistView {
            objectName: "createPlaylistView"
            draft: draft
            viewModel: root.viewModel
            onDismissRequested: createPlaylistSheet.close()
            onCoverPickRequested: playlistCoverPickerSheet.open()
        }
    }

    Sheet {
        id: playlistCoverPickerSheet
        objectName: "playlistCoverPickerSheet"
        z: 2
        content: ImagePicker {
            objectName: "playlistCoverPicker"
            onImagePicked: image => draft.uploadCover(image)
            onDismissRequested: playlistCoverPickerSheet.close()
        }
    }
}
