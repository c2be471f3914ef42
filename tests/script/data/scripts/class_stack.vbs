Option Explicit
' A stack that grows as it is filled, with its count as a property.
Class Stack
    Private FItems()
    Private FCount

    Private Sub Class_Initialize()
        ReDim FItems(7)
        FCount = 0
    End Sub

    Public Sub Push(ByVal value)
        If FCount > UBound(FItems) Then ReDim Preserve FItems(FCount * 2)
        FItems(FCount) = value
        FCount = FCount + 1
    End Sub

    Public Function Pop()
        If FCount = 0 Then
            Err.Raise 9, "Stack", "the stack is empty"
            Exit Function
        End If
        FCount = FCount - 1
        Pop = FItems(FCount)
    End Function

    Public Property Get Count()
        Count = FCount
    End Property
End Class

Dim items, i
Set items = New Stack
For i = 1 To 20
    items.Push i * i
Next
Do While items.Count > 0
    WScript.Echo items.Pop()
Loop
