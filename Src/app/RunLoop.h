// The run loop between the front end and the games.
#pragma once

void runFrontEndAndGames();
