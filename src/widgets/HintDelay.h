#pragma once

namespace ostrel {

// The application's hint delay: how long the pointer must rest on a control before its hint
// (tool tip) shows, in milliseconds. Every widget that does not carry a style of its own
// reads it.
int ApplicationHintDelay();
// The first change puts a thin style over the application's style (same look) that answers
// the delay.
void SetApplicationHintDelay(int milliseconds);

}  // namespace ostrel
