#pragma once

int BaseValue();
