/* The clock hours of an hour plan, as the plan tab labels them and cardcheck
   names them. Only preprocessor definitions here: the resource script reads
   this file too, for the labels of the 24 hour rows. */
#pragma once

#define BCT_HOUR_CAPTION_0 "00:00-00:59"
#define BCT_HOUR_CAPTION_1 "01:00-01:59"
#define BCT_HOUR_CAPTION_2 "02:00-02:59"
#define BCT_HOUR_CAPTION_3 "03:00-03:59"
#define BCT_HOUR_CAPTION_4 "04:00-04:59"
#define BCT_HOUR_CAPTION_5 "05:00-05:59"
#define BCT_HOUR_CAPTION_6 "06:00-06:59"
#define BCT_HOUR_CAPTION_7 "07:00-07:59"
#define BCT_HOUR_CAPTION_8 "08:00-08:59"
#define BCT_HOUR_CAPTION_9 "09:00-09:59"
#define BCT_HOUR_CAPTION_10 "10:00-10:59"
#define BCT_HOUR_CAPTION_11 "11:00-11:59"
#define BCT_HOUR_CAPTION_12 "12:00-12:59"
#define BCT_HOUR_CAPTION_13 "13:00-13:59"
#define BCT_HOUR_CAPTION_14 "14:00-14:59"
#define BCT_HOUR_CAPTION_15 "15:00-15:59"
#define BCT_HOUR_CAPTION_16 "16:00-16:59"
#define BCT_HOUR_CAPTION_17 "17:00-17:59"
#define BCT_HOUR_CAPTION_18 "18:00-18:59"
#define BCT_HOUR_CAPTION_19 "19:00-19:59"
#define BCT_HOUR_CAPTION_20 "20:00-20:59"
#define BCT_HOUR_CAPTION_21 "21:00-21:59"
#define BCT_HOUR_CAPTION_22 "22:00-22:59"
#define BCT_HOUR_CAPTION_23 "23:00-23:59"

/* The caption of hour h, a literal number 0..23. */
#define BCT_HOUR_CAPTION(h) BCT_HOUR_CAPTION_##h

/* X(hour) for every hour of a plan, in hour order. */
#define BCT_HOURS(X)                                                                                         \
  X(0)                                                                                                       \
  X(1)                                                                                                       \
  X(2)                                                                                                       \
  X(3) X(4) X(5) X(6) X(7) X(8) X(9) X(10) X(11) X(12) X(13) X(14) X(15) X(16) X(17) X(18) X(19) X(20) X(21) \
      X(22) X(23)
