// What the plug-in factory hands to each instance it creates. The effect
// passes it on to its binding unread.
#pragma once

struct IPlugInstanceInfo {};
