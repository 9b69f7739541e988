#include "side_facts.h"

std::string DimensionsLabel(int width, int height, const std::string& type) {
    return std::to_string(width) + " x " + std::to_string(height) + " " + type;
}
