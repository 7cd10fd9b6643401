import QtQuick
import QtQuick.Shapes
import Vorlane

// A cover's fallback: blue at the top leading corner to purple at the bottom trailing one, with
// the colour lines parallel to the other diagonal, as a gradient drawn in the frame's unit square
// and stretched to it.
Shape {
    id: shape

    readonly property real reach: width > 0 ? 2 * width * height / (width * width + height * height) : 0

    ShapePath {
        strokeWidth: -1
        fillGradient: LinearGradient {
            x1: 0
            y1: 0
            x2: shape.height * shape.reach
            y2: shape.width * shape.reach
            GradientStop { position: 0; color: Theme.blue }
            GradientStop { position: 1; color: "#AF52DE" } // the platform's purple
        }
        startX: 0; startY: 0
        PathLine { x: shape.width; y: 0 }
        PathLine { x: shape.width; y: shape.height }
        PathLine { x: 0; y: shape.height }
        PathLine { x: 0; y: 0 }
    }
}
