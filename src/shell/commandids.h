// Numeric command ids of menus, toolbar, accelerators and the task list's context menu.
#pragma once

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,

    ID_PLOT = 32771,
    ID_ABORT = 32772,
    ID_PREVIEW = 32773,
    ID_SECT_PREVIEW = 32774,
    ID_FINAL_VIEW = 32775,
    ID_MOVE_UP = 32776,
    ID_MOVE_DOWN = 32777,
    ID_ZOOM_100 = 32778,
    ID_ZOOM_OUT = 32780,
    ID_ZOOM_50 = 32781,
    ID_SETTINGS = 32784,
    ID_ADD_COPY = 32785,
    ID_REMOVE_COPY = 32786,
    ID_SCALE_VIEW = 32788,
    ID_UPDATE_CONFIG = 32792,
    ID_START_PLOT = 32793,
    ID_ZOOM_IN = 32808,
    ID_DELETE = 32814,
    ID_OUTPUT_PREVIEW = 32816,
};
