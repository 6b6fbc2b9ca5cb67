/* The library's resources: the string table's identifiers of the push-button
   kinds' captions and of the dialog buttons' names. Plain #defines, so that
   the resource compiler reads this file as well. The bitmaps are named
   resources: "TE_BTN_OK" ... "TE_BTN_ALL", "TE_FORM_CLOSE" ... "TE_FORM_TRAY",
   "TE_LIST_TRUETYPE". */
#ifndef TE_RESOURCES_H
#define TE_RESOURCES_H

/* bkOK .. bkAll: the kind's number added to the base (bkCustom has none). */
#define TE_STR_KIND_BASE 62208
#define TE_STR_KIND_OK 62209
#define TE_STR_KIND_CANCEL 62210
#define TE_STR_KIND_HELP 62211
#define TE_STR_KIND_YES 62212
#define TE_STR_KIND_NO 62213
#define TE_STR_KIND_CLOSE 62214
#define TE_STR_KIND_ABORT 62215
#define TE_STR_KIND_RETRY 62216
#define TE_STR_KIND_IGNORE 62217
#define TE_STR_KIND_ALL 62218

#endif
