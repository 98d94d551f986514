#pragma once

// Received bytes of one port in the three notations, with their line layout.
class ReceivedTexts {
};
