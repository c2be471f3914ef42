Option Explicit
' Date helpers: the ISO form of a date and the working days between two dates.
Function IsoDate(value)
	IsoDate = Year(value) & "-" & Right("0" & Month(value), 2) & "-" & _
	          Right("0" & Day(value), 2)
End Function

Function WorkingDays(first, last)
	Dim day, count
	count = 0
	day = first
	Do Until day > last
		If Weekday(day, vbMonday) <= 5 Then
			count = count + 1
		End If
		day = DateAdd("d", 1, day)
	Loop
	WorkingDays = count
End Function

WScript.Echo IsoDate(Date), _
             WorkingDays(DateSerial(Year(Date), 1, 1), Date)
