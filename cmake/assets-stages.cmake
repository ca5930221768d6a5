# Rules that build the stage maps (data/maps.zda), the test map and the stage tools from assets/stages.
