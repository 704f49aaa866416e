// SPDX-License-Identifier: MIT
// The position and size of forms and controls, in twips, over each backend's
// measuring and placing of one side.
#include "forms/twips_memory.h"

namespace zaptrove::platform::forms {

float Form::left() const {
    return formSide(*impl_, Side::Left);
}
float Form::top() const {
    return formSide(*impl_, Side::Top);
}
float Form::width() const {
    return formSide(*impl_, Side::Width);
}
float Form::height() const {
    return formSide(*impl_, Side::Height);
}
void Form::setLeft(float pTwips) {
    setFormSide(*impl_, Side::Left, pTwips);
}
void Form::setTop(float pTwips) {
    setFormSide(*impl_, Side::Top, pTwips);
}
void Form::setWidth(float pTwips) {
    setFormSide(*impl_, Side::Width, pTwips);
}
void Form::setHeight(float pTwips) {
    setFormSide(*impl_, Side::Height, pTwips);
}

float Control::left() const {
    return controlSide(*impl_, Side::Left);
}
float Control::top() const {
    return controlSide(*impl_, Side::Top);
}
float Control::width() const {
    return controlSide(*impl_, Side::Width);
}
float Control::height() const {
    return controlSide(*impl_, Side::Height);
}
void Control::setLeft(float pTwips) {
    setControlSide(*impl_, Side::Left, pTwips);
}
void Control::setTop(float pTwips) {
    setControlSide(*impl_, Side::Top, pTwips);
}
void Control::setWidth(float pTwips) {
    setControlSide(*impl_, Side::Width, pTwips);
}
void Control::setHeight(float pTwips) {
    setControlSide(*impl_, Side::Height, pTwips);
}

} // namespace zaptrove::platform::forms
