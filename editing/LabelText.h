#pragma once

#include <string>

class Pim3DText;

// The editor's number labels: how a figure is written and how a label is turned to the viewer.
// Main thread.
namespace LabelText
{
// PimString::FromFloat cut to one digit after the decimal point.
std::string OneDecimal(float value);
// Turns a label about the vertical so that its text faces the headset.
void FaceViewer(Pim3DText& label);
}
