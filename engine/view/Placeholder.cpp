// Keeps the view library buildable until its first unit lands; removed with it.
