#pragma once
// Window layouts: an ordered XML record of the components of a window, their
// property values and the handlers their events call. The reader creates the
// components by class name, sets the properties in the stored order (nested
// parts as "Font.Name"), resolves references to other components by name
// once everything exists, binds events to the root's methods by name and
// finally lets every component know it has been loaded.
//
//   <object class="TForm1" name="Form1">
//     <property name="Caption">Cihaz Test</property>
//     <property name="Lines"><item>first</item><item>second</item></property>
//     <object class="TLabel" name="Label1"> ... </object>
//   </object>

#include <QByteArray>
#include <QString>

class QObject;

// Reads a layout into root, whose class must be the one the layout names.
// Raises EReadError naming the line and the problem; what was created up to
// the error stays owned by root.
void ReadComponent(QObject* root, const QByteArray& layout);
void ReadComponentResource(QObject* root, const QString& path);

// Writes root and the components it holds in the same form: every number,
// Boolean, enumeration and set property; strings, lists and references only
// when they are not empty.
QByteArray WriteComponent(QObject* root);
